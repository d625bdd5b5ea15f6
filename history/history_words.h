#pragma once

// How the service history puts the calls it records in words: one row per Action and Session
// operation of the contract, none for a Read.

#include "instrument_decorator.h"

#include <QString>

#include <optional>

// The instrument's configuration as last read or applied, its text pointer not kept.
struct KnownConfiguration {
    InstrumentConfiguration fields;
    QString serial;
};

KnownConfiguration Known(const InstrumentConfiguration& configuration);

// What a call's words may depend on besides its arguments.
struct WordingContext {
    const std::optional<KnownConfiguration>& configuration;
    // The format of the command that made the call (CCallOrigin), or 0.
    int origin;
};

// The call in words, or nothing for an operation without a row.
std::optional<QString> HistoryWords(const COperationCall& call, const WordingContext& context);
bool HasHistoryWords(int slot);

// The result part of an entry: "accepted", or the failure's text and code.
QString ResultText(HRESULT hr);
// The configuration fields that differ, each with its old and new value, in the page's order.
QString ConfigurationChanges(const std::optional<InstrumentConfiguration>& before,
                             const QString& serialBefore, const InstrumentConfiguration& after,
                             const QString& serialAfter);
