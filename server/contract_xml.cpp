#include "contract_xml.h"

#include "instrument_bus.h"
#include "instrument_wire.h"
#include "operation_wire.h"

#include <utility>

namespace {

constexpr const char* kHeader =
    R"(<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<!-- The instrument server contract. Every method answers the operation's result code first
     (negative: failure, and nothing else follows), then its out-values. Records travel in
     their exact little-endian layout with pointer fields zero; what a pointer field points to
     follows as its own argument: a text that may be null as (bay), a list as ay of packed
     entries, a path as ay of raw bytes. -->
<node>
)";

void AppendArg(QString& xml, const QString& name, const char* type, ArgDirection direction) {
    xml += QStringLiteral("      <arg name=\"%1\" type=\"%2\" direction=\"%3\"/>\n")
               .arg(name, QLatin1String(type),
                    direction == ArgDirection::In ? QLatin1String("in") : QLatin1String("out"));
}

template <class P> void AppendParameter(QString& xml, const BusArg& arg, ArgDirection wanted) {
    if (arg.direction != wanted) {
        return;
    }
    for (const WirePart& part : ParamWire<P>::kParts) {
        AppendArg(xml, QLatin1String(arg.name) + QLatin1String(part.suffix), part.type,
                  arg.direction);
    }
}

template <class Op, std::size_t... I>
void AppendMethod(QString& xml, std::index_sequence<I...> /*parameters*/) {
    // The direction the row gives each argument is the one its C++ type travels in.
    static_assert(((Op::kBusArgs[I].direction ==
                    (ParamWire<std::tuple_element_t<I, ArgsOf<Op>>>::kOut ? ArgDirection::Out
                                                                          : ArgDirection::In)) &&
                   ...),
                  "a bus argument's direction differs from its parameter's type");
    xml += QStringLiteral("    <method name=\"%1\">\n").arg(QLatin1String(Op::kName));
    (AppendParameter<std::tuple_element_t<I, ArgsOf<Op>>>(xml, Op::kBusArgs[I], ArgDirection::In),
     ...);
    AppendArg(xml, QStringLiteral("result"), "i", ArgDirection::Out);
    (AppendParameter<std::tuple_element_t<I, ArgsOf<Op>>>(xml, Op::kBusArgs[I], ArgDirection::Out),
     ...);
    xml += QLatin1String("    </method>\n");
}

} // namespace

QString InstrumentInterfaceXml() {
    static const QString kXml = [] {
        QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(kInstrumentInterface);
        ForEachOperation([&](auto operation) {
            using Op = decltype(operation);
            AppendMethod<Op>(xml, std::make_index_sequence<std::tuple_size_v<ArgsOf<Op>>>());
        });
        return xml + QLatin1String("  </interface>\n");
    }();
    return kXml;
}

QString InstrumentContractXml() {
    return QLatin1String(kHeader) + InstrumentInterfaceXml() + QLatin1String("</node>\n");
}
