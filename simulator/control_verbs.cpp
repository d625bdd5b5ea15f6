#include "control_verbs.h"

#include "instrument_bus.h"
#include "simulator_control.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <cstdio>

namespace {

struct Verb {
    const char* name;
    int arguments;
};
constexpr Verb kVerbs[] = {{"power-off", 0}, {"power-on", 0}, {"raise-error", 1},
                           {"fail", 2},      {"hang", 2},     {"clear-faults", 0},
                           {"clock", 1},     {"step", 1},     {"download-rate", 1},
                           {"input", 2},     {"state", 0}};

int Fail(const QString& text) {
    std::fprintf(stderr, "orvix-instrument-server: %s\n", text.toLocal8Bit().constData());
    return 1;
}

// A method call with its arguments, or an empty method when the words do not parse.
struct Call {
    QString method;
    QVariantList args;
};

Call Translate(const QString& verb, const QStringList& words) {
    bool ok = true;
    if (verb == QLatin1String("power-off")) {
        return {QStringLiteral("PowerOff"), {}};
    }
    if (verb == QLatin1String("power-on")) {
        return {QStringLiteral("PowerOn"), {}};
    }
    if (verb == QLatin1String("raise-error")) {
        return {QStringLiteral("RaiseError"), {words[0]}};
    }
    if (verb == QLatin1String("fail")) {
        const qlonglong value = words[1].toLongLong(&ok, 0);
        if (!ok || value < INT32_MIN || value > static_cast<qlonglong>(UINT32_MAX)) {
            return {};
        }
        return {QStringLiteral("FailOperation"),
                {words[0], QVariant(static_cast<qint32>(static_cast<quint32>(value)))}};
    }
    if (verb == QLatin1String("hang")) {
        const uint ms = words[1].toUInt(&ok);
        return ok ? Call{QStringLiteral("HangOperation"), {words[0], QVariant(ms)}} : Call{};
    }
    if (verb == QLatin1String("clear-faults")) {
        return {QStringLiteral("ClearFaults"), {}};
    }
    if (verb == QLatin1String("clock")) {
        return {QStringLiteral("SetClock"), {words[0]}};
    }
    if (verb == QLatin1String("step")) {
        const qulonglong ms = words[0].toULongLong(&ok);
        return ok ? Call{QStringLiteral("StepClock"), {QVariant(ms)}} : Call{};
    }
    if (verb == QLatin1String("download-rate")) {
        const int rate = words[0].toInt(&ok);
        return ok ? Call{QStringLiteral("SetDownloadRate"), {QVariant(rate)}} : Call{};
    }
    if (verb == QLatin1String("input")) {
        const int line = words[0].toInt(&ok);
        if (!ok || (words[1] != QLatin1String("on") && words[1] != QLatin1String("off"))) {
            return {};
        }
        return {QStringLiteral("SetEventInput"),
                {QVariant(line), QVariant(words[1] == QLatin1String("on"))}};
    }
    return {QStringLiteral("State"), {}};
}

} // namespace

bool IsControlVerb(const QString& word) {
    for (const Verb& verb : kVerbs) {
        if (word == QLatin1String(verb.name)) {
            return true;
        }
    }
    return false;
}

int RunControlVerb(const QStringList& arguments) {
    const QString verb = arguments.value(0);
    const QStringList words = arguments.mid(1);
    for (const Verb& known : kVerbs) {
        if (verb == QLatin1String(known.name) && words.size() != known.arguments) {
            return Fail(QStringLiteral("%1 takes %2 argument(s)").arg(verb).arg(known.arguments));
        }
    }
    const Call call = Translate(verb, words);
    if (call.method.isEmpty()) {
        return Fail(QStringLiteral("bad arguments for %1: %2").arg(verb, words.join(u' ')));
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return Fail(QStringLiteral("no session bus"));
    }
    QDBusMessage message = QDBusMessage::createMethodCall(
        kInstrumentServiceName, kInstrumentObjectPath, CSimulatorControl::kInterface, call.method);
    message.setArguments(call.args);
    // A verb acts on a running instrument; it never starts one.
    message.setAutoStartService(false);
    const QDBusMessage reply = bus.call(message, QDBus::Block, 10'000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return Fail(reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage());
    }
    if (!reply.arguments().isEmpty()) {
        std::fputs(reply.arguments().constFirst().toString().toLocal8Bit().constData(), stdout);
    }
    return 0;
}
