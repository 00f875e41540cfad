// The clock the signature and the tagline cycling read: local time for the date and time
// variables and the frequency rules, UTC for the random seed. Tests set their own.
#pragma once

#include <windows.h>

class TClock {
  public:
    virtual ~TClock() = default;
    virtual SYSTEMTIME Local() const {
        SYSTEMTIME t;
        GetLocalTime(&t);
        return t;
    }
    virtual SYSTEMTIME Utc() const {
        SYSTEMTIME t;
        GetSystemTime(&t);
        return t;
    }
};

// The system's clock.
inline const TClock& SystemClock() {
    static const TClock clock;
    return clock;
}
