// High Contrast answered as on while one of these lives, through the program's
// own query: Wine always says off and refuses to switch it.
#pragma once

#include "win/HighContrast.h"

namespace qbtest {

class HighContrastOn
{
public:
    HighContrastOn() : m_previous(win::replaceHighContrastQuery([] { return true; })) {}
    ~HighContrastOn() { win::replaceHighContrastQuery(m_previous); }
    HighContrastOn(const HighContrastOn&) = delete;
    HighContrastOn& operator=(const HighContrastOn&) = delete;

private:
    win::HighContrastQuery m_previous;
};

}  // namespace qbtest
