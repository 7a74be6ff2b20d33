#pragma once
#include "win32/WinApi.h"
// clang-format off
#include <objbase.h>
// clang-format on

// COM in a single-threaded apartment for the calling thread while it lives; a thread already in
// another apartment keeps it (and COM is usable all the same).
class ComApartment {
public:
    ComApartment() : hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool Usable() const { return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr;
};
