// The simulated camera library's test hooks, bound from the loaded library,
// and a wait without an event loop.
#pragma once

#include "camera/ICubeApi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// A fault of the simulated camera library (see ICubeSim_SetFault).
inline void SetSimFault(const char* name, int value)
{
    auto fn = reinterpret_cast<void (*)(const char*, int)>(CICubeApi::Process().Symbol("ICubeSim_SetFault"));
    ASSERT_NE(fn, nullptr);
    fn(name, value);
}

inline void SetSimApiVersion(const char* version)
{
    auto fn = reinterpret_cast<void (*)(const char*)>(CICubeApi::Process().Symbol("ICubeSim_SetApiVersion"));
    ASSERT_NE(fn, nullptr);
    fn(version);
}

// How often camera cam saw call param (see ICubeSim_GetCount).
inline int SimCount(int cam, int param)
{
    auto fn = reinterpret_cast<int (*)(int, int)>(CICubeApi::Process().Symbol("ICubeSim_GetCount"));
    return fn != nullptr ? fn(cam, param) : -99;
}

// Polls fn until it holds or ms have passed; its last answer.
template <class FN>
bool WaitFor(FN&& fn, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!fn()) {
        if (std::chrono::steady_clock::now() >= end) {
            return fn();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
