#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>
#include <vector>

class CSimulatedInstrumentServer;

// The control interface, on the instrument's own object beside its instrument interface.
inline const QString kSimulatorControlInterface = QStringLiteral("org.orvix.InstrumentSimulator1");

// One argument of a control method as it goes on the bus.
struct ControlArg {
    const char* name;
    const char* type;
};

// What a control method answers: a refusal (the caller's arguments make no sense here), or
// success with an optional text.
struct ControlReply {
    QString refusal;
    QString text;
};

// One verb of org.orvix.InstrumentSimulator1: its command-line word, its method and signature
// on the bus, its arguments, its help, how the command line's words become the method's
// arguments and what the method does to the instrument. The control interface's description,
// its dispatch, the command line and --help all walk this one table.
struct ControlVerb {
    const char* word;
    const char* method;
    const char* signature;
    std::vector<ControlArg> in;
    // The one text the method answers, if it answers one.
    const char* outName;
    // The words after the verb, as --help shows them.
    const char* usage;
    const char* help;
    // The method's arguments from the words after the verb; nothing when they do not parse.
    std::optional<QVariantList> (*parse)(const QStringList& words);
    ControlReply (*act)(CSimulatedInstrumentServer& server, const QVariantList& args);
};

const std::vector<ControlVerb>& ControlVerbs();
// The verb whose method and signature a call names; null when none does.
const ControlVerb* FindControlMethod(const QString& method, const QString& signature);
// The control interface's part of the introspection XML.
QString ControlIntrospectionXml();
// The lines --help shows for the verbs.
QString ControlVerbsHelp();

bool IsControlVerb(const QString& word);
// Runs the verb with its arguments; the process's exit status.
int RunControlVerb(const QStringList& arguments);
