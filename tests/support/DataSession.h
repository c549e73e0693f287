#pragma once

// What every data test case starts from: a new data environment, no connection targets and a
// fixed "today"; at its end the application folder goes back to the executable's.
class DataSession {
public:
    DataSession();
    ~DataSession();
    DataSession(const DataSession&) = delete;
    DataSession& operator=(const DataSession&) = delete;
};
