#include "Setting.h"

CSetting::CSetting()
    : m_dwNext(kDefaultNext),
      m_dwStop(kDefaultStop),
      m_dwKey1(kDefaultKey1),
      m_dwKey2(kDefaultKey2),
      m_nInterval(kDefaultInterval) {}
