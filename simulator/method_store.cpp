#include "method_store.h"

CMethodStore::CMethodStore() {
    m_method.name = "Default Method";
    m_method.solventA = "Water 0.1% formic acid";
    m_method.solventB = "Acetonitrile 0.1% formic acid";
    m_method.solventC = "Methanol";
    m_method.column = "C18 150 x 0.3 mm";
    m_method.record.f4 = 10.0F;
    m_method.record.f32 = 5.0F;
    m_method.record.fSampleTempSetPoint = 8.0F;
    m_method.record.fColumnTempSetPoint = 30.0F;
    m_method.Relink();
}
