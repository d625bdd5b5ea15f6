#include "call_origin.h"

namespace {

int g_currentOrigin = 0;

} // namespace

CCallOrigin::CCallOrigin(int wordsId) : m_outer(g_currentOrigin) {
    g_currentOrigin = wordsId;
}

CCallOrigin::~CCallOrigin() {
    g_currentOrigin = m_outer;
}

int CCallOrigin::Current() {
    return g_currentOrigin;
}
