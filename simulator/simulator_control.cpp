#include "simulator_control.h"

#include <QDBusError>

const QString CSimulatorControl::kInterface = QStringLiteral("org.orvix.InstrumentSimulator1");

QString CSimulatorControl::IntrospectionXml() {
    return QStringLiteral(
        "  <interface name=\"org.orvix.InstrumentSimulator1\">\n"
        "    <method name=\"PowerOff\"/>\n"
        "    <method name=\"PowerOn\"/>\n"
        "    <method name=\"RaiseError\"><arg name=\"text\" type=\"s\" "
        "direction=\"in\"/></method>\n"
        "    <method name=\"FailOperation\">\n"
        "      <arg name=\"operation\" type=\"s\" direction=\"in\"/>\n"
        "      <arg name=\"hresult\" type=\"i\" direction=\"in\"/>\n"
        "    </method>\n"
        "    <method name=\"HangOperation\">\n"
        "      <arg name=\"operation\" type=\"s\" direction=\"in\"/>\n"
        "      <arg name=\"milliseconds\" type=\"u\" direction=\"in\"/>\n"
        "    </method>\n"
        "    <method name=\"ClearFaults\"/>\n"
        "    <method name=\"SetClock\"><arg name=\"mode\" type=\"s\" direction=\"in\"/></method>\n"
        "    <method name=\"StepClock\">\n"
        "      <arg name=\"milliseconds\" type=\"t\" direction=\"in\"/>\n"
        "    </method>\n"
        "    <method name=\"SetDownloadRate\">\n"
        "      <arg name=\"linesPerSecond\" type=\"i\" direction=\"in\"/>\n"
        "    </method>\n"
        "    <method name=\"SetEventInput\">\n"
        "      <arg name=\"line\" type=\"i\" direction=\"in\"/>\n"
        "      <arg name=\"on\" type=\"b\" direction=\"in\"/>\n"
        "    </method>\n"
        "    <method name=\"State\"><arg name=\"text\" type=\"s\" direction=\"out\"/></method>\n"
        "  </interface>\n");
}

bool CSimulatorControl::Handle(const QDBusMessage& message, const QDBusConnection& connection) {
    const QDBusMessage reply = Act(message);
    if (message.isReplyRequired()) {
        connection.send(reply);
    }
    return true;
}

QDBusMessage CSimulatorControl::Act(const QDBusMessage& call) {
    const QString member = call.member();
    const QString signature = call.signature();
    const QList<QVariant> args = call.arguments();
    auto refuse = [&](const QString& why) {
        return call.createErrorReply(QDBusError::InvalidArgs, why);
    };
    auto expect = [&](const char* wanted) { return signature == QLatin1String(wanted); };
    CSimulatedInstrument& instrument = m_server.Instrument();
    // Whatever changes, it changes at the instrument's present time.
    m_server.Tick();

    if (member == QLatin1String("PowerOff") && expect("")) {
        instrument.PowerOff();
    } else if (member == QLatin1String("PowerOn") && expect("")) {
        instrument.PowerOn();
    } else if (member == QLatin1String("RaiseError") && expect("s")) {
        const QString text = args[0].toString().trimmed();
        if (text.isEmpty()) {
            return refuse(QStringLiteral("An error needs a text"));
        }
        instrument.RaiseError(text.toStdString());
    } else if (member == QLatin1String("FailOperation") && expect("si")) {
        if (args[1].toInt() > 0) {
            return refuse(QStringLiteral("A failure code is negative (0 clears the failure)"));
        }
        if (!m_server.FailOperation(args[0].toString().toStdString(), args[1].toInt())) {
            return refuse(QStringLiteral("No operation named %1").arg(args[0].toString()));
        }
    } else if (member == QLatin1String("HangOperation") && expect("su")) {
        if (!m_server.HangOperation(args[0].toString().toStdString(), args[1].toUInt())) {
            return refuse(QStringLiteral("No operation named %1").arg(args[0].toString()));
        }
    } else if (member == QLatin1String("ClearFaults") && expect("")) {
        m_server.ClearFaults();
    } else if (member == QLatin1String("SetClock") && expect("s")) {
        const QString mode = args[0].toString();
        if (mode != QLatin1String("real") && mode != QLatin1String("manual")) {
            return refuse(QStringLiteral("The clock is \"real\" or \"manual\""));
        }
        instrument.Clock().SetMode(mode == QLatin1String("real") ? CSimClock::Mode::Real
                                                                 : CSimClock::Mode::Manual);
    } else if (member == QLatin1String("StepClock") && expect("t")) {
        const qulonglong ms = args[0].toULongLong();
        if (ms > static_cast<qulonglong>(INT64_MAX) ||
            !instrument.Clock().Step(static_cast<std::int64_t>(ms))) {
            return refuse(QStringLiteral("Only the manual clock can be stepped"));
        }
        m_server.Tick();
    } else if (member == QLatin1String("SetDownloadRate") && expect("i")) {
        if (!instrument.Firmware().SetLinesPerSecond(args[0].toInt())) {
            return refuse(QStringLiteral("The rate is 1 to %1 lines per second")
                              .arg(CFirmware::kMaxLinesPerSecond));
        }
    } else if (member == QLatin1String("SetEventInput") && expect("ib")) {
        const int line = args[0].toInt();
        if (line < 1 || line > 4) {
            return refuse(QStringLiteral("Event inputs are lines 1 to 4"));
        }
        instrument.AutoSampler().SetEventInput(line - 1, args[1].toBool());
    } else if (member == QLatin1String("State") && expect("")) {
        return call.createReply(QString::fromStdString(m_server.DescribeState()));
    } else {
        return call.createErrorReply(
            QDBusError::UnknownMethod,
            QStringLiteral("No method %1(%2) on %3").arg(member, signature, kInterface));
    }
    return call.createReply();
}
