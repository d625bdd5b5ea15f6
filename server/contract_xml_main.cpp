// Writes the instrument interface's introspection to standard output: the committed
// org.orvix.InstrumentServer1.xml is this program's output.
#include "contract_xml.h"

#include <cstdio>

int main() {
    std::fputs(InstrumentContractXml().toUtf8().constData(), stdout);
    return 0;
}
