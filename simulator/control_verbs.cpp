#include "control_verbs.h"

#include "instrument_bus.h"
#include "simulated_server.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <cstdio>

namespace {

constexpr int kVerbReplyTimeoutMs = 10'000;
constexpr int kFirstEventInput = 1;
constexpr int kLastEventInput = 4;
constexpr int kHelpColumn = 25;

int Fail(const QString& text) {
    std::fprintf(stderr, "orvix-instrument-server: %s\n", text.toLocal8Bit().constData());
    return 1;
}

ControlReply Refuse(const QString& why) {
    return {why, {}};
}

QString NoSuchOperation(const QVariant& name) {
    return QStringLiteral("No operation named %1").arg(name.toString());
}

std::optional<QVariantList> NoWords(const QStringList&) {
    return QVariantList{};
}

std::optional<QVariantList> OneText(const QStringList& words) {
    return QVariantList{words[0]};
}

std::optional<QVariantList> ParseFail(const QStringList& words) {
    bool ok = false;
    const qlonglong value = words[1].toLongLong(&ok, 0);
    // An HRESULT as the system prints it (0x80004005) or as a signed number.
    if (!ok || value < INT32_MIN || value > static_cast<qlonglong>(UINT32_MAX)) {
        return std::nullopt;
    }
    return QVariantList{words[0], QVariant(static_cast<qint32>(static_cast<quint32>(value)))};
}

std::optional<QVariantList> ParseHang(const QStringList& words) {
    bool ok = false;
    const uint ms = words[1].toUInt(&ok);
    return ok ? std::optional(QVariantList{words[0], QVariant(ms)}) : std::nullopt;
}

std::optional<QVariantList> ParseStep(const QStringList& words) {
    bool ok = false;
    const qulonglong ms = words[0].toULongLong(&ok);
    return ok ? std::optional(QVariantList{QVariant(ms)}) : std::nullopt;
}

std::optional<QVariantList> ParseRate(const QStringList& words) {
    bool ok = false;
    const int rate = words[0].toInt(&ok);
    return ok ? std::optional(QVariantList{QVariant(rate)}) : std::nullopt;
}

std::optional<QVariantList> ParseInput(const QStringList& words) {
    bool ok = false;
    const int line = words[0].toInt(&ok);
    if (!ok || (words[1] != QLatin1String("on") && words[1] != QLatin1String("off"))) {
        return std::nullopt;
    }
    return QVariantList{QVariant(line), QVariant(words[1] == QLatin1String("on"))};
}

ControlReply PowerOff(CSimulatedInstrumentServer& server, const QVariantList&) {
    server.Instrument().PowerOff();
    return {};
}

ControlReply PowerOn(CSimulatedInstrumentServer& server, const QVariantList&) {
    server.Instrument().PowerOn();
    return {};
}

ControlReply RaiseError(CSimulatedInstrumentServer& server, const QVariantList& args) {
    const QString text = args[0].toString().trimmed();
    if (text.isEmpty()) {
        return Refuse(QStringLiteral("An error needs a text"));
    }
    server.Instrument().RaiseError(text.toStdString());
    return {};
}

ControlReply FailOperation(CSimulatedInstrumentServer& server, const QVariantList& args) {
    if (args[1].toInt() > 0) {
        return Refuse(QStringLiteral("A failure code is negative (0 clears the failure)"));
    }
    if (!server.FailOperation(args[0].toString().toStdString(), args[1].toInt())) {
        return Refuse(NoSuchOperation(args[0]));
    }
    return {};
}

ControlReply HangOperation(CSimulatedInstrumentServer& server, const QVariantList& args) {
    if (!server.HangOperation(args[0].toString().toStdString(), args[1].toUInt())) {
        return Refuse(NoSuchOperation(args[0]));
    }
    return {};
}

ControlReply ClearFaults(CSimulatedInstrumentServer& server, const QVariantList&) {
    server.ClearFaults();
    return {};
}

ControlReply SetClock(CSimulatedInstrumentServer& server, const QVariantList& args) {
    const QString mode = args[0].toString();
    if (mode != QLatin1String("real") && mode != QLatin1String("manual")) {
        return Refuse(QStringLiteral("The clock is \"real\" or \"manual\""));
    }
    server.Instrument().Clock().SetMode(mode == QLatin1String("real") ? CSimClock::Mode::Real
                                                                      : CSimClock::Mode::Manual);
    return {};
}

ControlReply StepClock(CSimulatedInstrumentServer& server, const QVariantList& args) {
    const qulonglong ms = args[0].toULongLong();
    if (ms > static_cast<qulonglong>(INT64_MAX) ||
        !server.Instrument().Clock().Step(static_cast<std::int64_t>(ms))) {
        return Refuse(QStringLiteral("Only the manual clock can be stepped"));
    }
    server.Tick();
    return {};
}

ControlReply SetDownloadRate(CSimulatedInstrumentServer& server, const QVariantList& args) {
    if (!server.Instrument().Firmware().SetLinesPerSecond(args[0].toInt())) {
        return Refuse(QStringLiteral("The rate is 1 to %1 lines per second")
                          .arg(CFirmware::kMaxLinesPerSecond));
    }
    return {};
}

ControlReply SetEventInput(CSimulatedInstrumentServer& server, const QVariantList& args) {
    const int line = args[0].toInt();
    if (line < kFirstEventInput || line > kLastEventInput) {
        return Refuse(QStringLiteral("Event inputs are lines %1 to %2")
                          .arg(kFirstEventInput)
                          .arg(kLastEventInput));
    }
    server.Instrument().AutoSampler().SetEventInput(line - kFirstEventInput, args[1].toBool());
    return {};
}

ControlReply State(CSimulatedInstrumentServer& server, const QVariantList&) {
    return {{}, QString::fromStdString(server.DescribeState())};
}

const ControlVerb* FindWord(const QString& word) {
    for (const ControlVerb& verb : ControlVerbs()) {
        if (word == QLatin1String(verb.word)) {
            return &verb;
        }
    }
    return nullptr;
}

} // namespace

const std::vector<ControlVerb>& ControlVerbs() {
    static const std::vector<ControlVerb> kVerbs = {
        {"power-off",
         "PowerOff",
         "",
         {},
         nullptr,
         "",
         "the instrument stops answering",
         NoWords,
         PowerOff},
        {"power-on",
         "PowerOn",
         "",
         {},
         nullptr,
         "",
         "the instrument boots and answers again",
         NoWords,
         PowerOn},
        {"raise-error",
         "RaiseError",
         "s",
         {{"text", "s"}},
         nullptr,
         "TEXT",
         "raise an instrument error",
         OneText,
         RaiseError},
        {"fail",
         "FailOperation",
         "si",
         {{"operation", "s"}, {"hresult", "i"}},
         nullptr,
         "OPERATION HRESULT",
         "make an operation fail (0 clears)",
         ParseFail,
         FailOperation},
        {"hang",
         "HangOperation",
         "su",
         {{"operation", "s"}, {"milliseconds", "u"}},
         nullptr,
         "OPERATION MS",
         "make an operation block (0 clears)",
         ParseHang,
         HangOperation},
        {"clear-faults",
         "ClearFaults",
         "",
         {},
         nullptr,
         "",
         "clear every failure and hang",
         NoWords,
         ClearFaults},
        {"clock",
         "SetClock",
         "s",
         {{"mode", "s"}},
         nullptr,
         "real|manual",
         "run the clock in real time or step it by hand",
         OneText,
         SetClock},
        {"step",
         "StepClock",
         "t",
         {{"milliseconds", "t"}},
         nullptr,
         "MS",
         "step the manual clock",
         ParseStep,
         StepClock},
        {"download-rate",
         "SetDownloadRate",
         "i",
         {{"linesPerSecond", "i"}},
         nullptr,
         "LINES_PER_SECOND",
         "firmware lines sent per second",
         ParseRate,
         SetDownloadRate},
        {"input",
         "SetEventInput",
         "ib",
         {{"line", "i"}, {"on", "b"}},
         nullptr,
         "LINE on|off",
         "event inputs 1 to 4",
         ParseInput,
         SetEventInput},
        {"state", "State", "", {}, "text", "", "print the instrument's state", NoWords, State},
    };
    return kVerbs;
}

const ControlVerb* FindControlMethod(const QString& method, const QString& signature) {
    for (const ControlVerb& verb : ControlVerbs()) {
        if (method == QLatin1String(verb.method) && signature == QLatin1String(verb.signature)) {
            return &verb;
        }
    }
    return nullptr;
}

QString ControlIntrospectionXml() {
    QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(kSimulatorControlInterface);
    const auto arg = [](const char* name, const char* type, const char* direction) {
        return QStringLiteral("      <arg name=\"%1\" type=\"%2\" direction=\"%3\"/>\n")
            .arg(QLatin1String(name), QLatin1String(type), QLatin1String(direction));
    };
    for (const ControlVerb& verb : ControlVerbs()) {
        if (verb.in.empty() && verb.outName == nullptr) {
            xml += QStringLiteral("    <method name=\"%1\"/>\n").arg(QLatin1String(verb.method));
            continue;
        }
        xml += QStringLiteral("    <method name=\"%1\">\n").arg(QLatin1String(verb.method));
        for (const ControlArg& in : verb.in) {
            xml += arg(in.name, in.type, "in");
        }
        if (verb.outName != nullptr) {
            xml += arg(verb.outName, "s", "out");
        }
        xml += QStringLiteral("    </method>\n");
    }
    return xml + QStringLiteral("  </interface>\n");
}

QString ControlVerbsHelp() {
    QStringList lines;
    for (const ControlVerb& verb : ControlVerbs()) {
        const QString call =
            QStringLiteral("%1 %2").arg(QLatin1String(verb.word), QLatin1String(verb.usage));
        lines << QStringLiteral("  %1 %2")
                     .arg(call.trimmed(), -kHelpColumn)
                     .arg(QLatin1String(verb.help));
    }
    return lines.join(u'\n');
}

bool IsControlVerb(const QString& word) {
    return FindWord(word) != nullptr;
}

int RunControlVerb(const QStringList& arguments) {
    const QString word = arguments.value(0);
    const QStringList words = arguments.mid(1);
    const ControlVerb* verb = FindWord(word);
    if (verb == nullptr) {
        return Fail(QStringLiteral("unknown verb %1").arg(word));
    }
    const qsizetype wanted = static_cast<qsizetype>(verb->in.size());
    if (words.size() != wanted) {
        return Fail(QStringLiteral("%1 takes %2 argument(s)").arg(word).arg(wanted));
    }
    const std::optional<QVariantList> args = verb->parse(words);
    if (!args) {
        return Fail(QStringLiteral("bad arguments for %1: %2").arg(word, words.join(u' ')));
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return Fail(QStringLiteral("no session bus"));
    }
    QDBusMessage message =
        QDBusMessage::createMethodCall(kInstrumentServiceName, kInstrumentObjectPath,
                                       kSimulatorControlInterface, QLatin1String(verb->method));
    message.setArguments(*args);
    // A verb acts on a running instrument; it never starts one.
    message.setAutoStartService(false);
    const QDBusMessage reply = bus.call(message, QDBus::Block, kVerbReplyTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return Fail(reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage());
    }
    if (!reply.arguments().isEmpty()) {
        std::fputs(reply.arguments().constFirst().toString().toLocal8Bit().constData(), stdout);
    }
    return 0;
}
