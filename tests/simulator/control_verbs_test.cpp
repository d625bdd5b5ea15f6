#include "control_verbs.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>

// The interface description, the dispatch and the command line come from one table: a caller
// that reads the description calls with the signature the dispatch accepts, under a word the
// command line knows.
TEST(ControlVerbsTest, EveryVerbIsDescribedAsItIsDispatched) {
    std::map<QString, QString> described;
    QString method;
    QXmlStreamReader xml(ControlIntrospectionXml());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == QLatin1String("method")) {
            method = attributes.value(QLatin1String("name")).toString();
            described[method];
        } else if (xml.name() == QLatin1String("arg") &&
                   attributes.value(QLatin1String("direction")) == QLatin1String("in")) {
            described[method] += attributes.value(QLatin1String("type"));
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();

    EXPECT_EQ(described.size(), ControlVerbs().size());
    for (const ControlVerb& verb : ControlVerbs()) {
        EXPECT_EQ(described[QLatin1String(verb.method)], QLatin1String(verb.signature))
            << verb.method;
        EXPECT_EQ(FindControlMethod(QLatin1String(verb.method), QLatin1String(verb.signature)),
                  &verb);
        EXPECT_TRUE(IsControlVerb(QLatin1String(verb.word))) << verb.word;
    }
}
