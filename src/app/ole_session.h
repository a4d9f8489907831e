#pragma once
#include <windows.h>
#include <ole2.h>

namespace kivo::app {

// OLE for the window thread (the shell link and MAPI need it), undone when the
// object goes. A failed initialisation is not undone.
class OleSession {
public:
    OleSession() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleSession()
    {
        if (initialised_)
            OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

    bool initialised() const { return initialised_; }

private:
    bool initialised_;
};

}  // namespace kivo::app
