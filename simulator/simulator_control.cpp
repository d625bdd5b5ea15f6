#include "simulator_control.h"

#include "control_verbs.h"

#include <QDBusError>

bool CSimulatorControl::Handle(const QDBusMessage& message, const QDBusConnection& connection) {
    const QDBusMessage reply = Act(message);
    if (message.isReplyRequired()) {
        connection.send(reply);
    }
    return true;
}

QDBusMessage CSimulatorControl::Act(const QDBusMessage& call) {
    const ControlVerb* verb = FindControlMethod(call.member(), call.signature());
    if (verb == nullptr) {
        return call.createErrorReply(
            QDBusError::UnknownMethod,
            QStringLiteral("No method %1(%2) on %3")
                .arg(call.member(), call.signature(), kSimulatorControlInterface));
    }
    // Whatever changes, it changes at the instrument's present time.
    m_server.Tick();
    const ControlReply reply = verb->act(m_server, call.arguments());
    if (!reply.refusal.isEmpty()) {
        return call.createErrorReply(QDBusError::InvalidArgs, reply.refusal);
    }
    return verb->outName != nullptr ? call.createReply(reply.text) : call.createReply();
}
