#pragma once

#include "BandedReport.h"

// The one instance of a report class, made on first use and forgotten when it goes away,
// so the next use starts a fresh report.
template <class T> class SingleReport : public BandedReport {
public:
    static T& instance()
    {
        if (!s_instance)
            s_instance = new T;
        return *s_instance;
    }
    static T* existing() { return s_instance; }

    ~SingleReport() override { detach(); }

protected:
    using BandedReport::BandedReport;

private:
    void detach() override
    {
        if (s_instance == this)
            s_instance = nullptr;
    }

    static inline T* s_instance = nullptr;
};
