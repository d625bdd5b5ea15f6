// The committed introspection is the contract: it must describe exactly what the code sends.
#include "instrument_signatures.h"
#include "instrument_stub.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <map>

namespace {

TEST(Contract, IntrospectionMatchesTheMarshalling) {
    const QString xml = CInstrumentServerStub::InterfaceXml();
    ASSERT_FALSE(xml.isEmpty());
    std::map<std::string, std::pair<std::string, std::string>> declared;
    QXmlStreamReader reader(xml);
    std::string method;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement()) {
            continue;
        }
        const auto attributes = reader.attributes();
        if (reader.name() == QLatin1String("method")) {
            method = attributes.value(QLatin1String("name")).toString().toStdString();
            declared[method];
        } else if (reader.name() == QLatin1String("arg")) {
            const std::string type =
                attributes.value(QLatin1String("type")).toString().toStdString();
            auto& [in, out] = declared[method];
            (attributes.value(QLatin1String("direction")) == QLatin1String("in") ? in : out) +=
                type;
        }
    }
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    const auto& signatures = InstrumentOperationSignatures();
    EXPECT_EQ(declared.size(), signatures.size());
    for (const OperationSignature& signature : signatures) {
        SCOPED_TRACE(signature.name);
        ASSERT_EQ(declared.count(signature.name), 1U);
        EXPECT_EQ(declared[signature.name].first, signature.in);
        EXPECT_EQ(declared[signature.name].second, signature.out);
    }
}

} // namespace
