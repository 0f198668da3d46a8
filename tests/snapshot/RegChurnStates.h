// The states the registry churner writes below its key, each one described by
// itself: a value's data carries the generation that wrote it, from which its
// whole length and content follow. A value read from a snapshot is one state
// that existed exactly when ChurnData of its name and generation gives its data.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

constexpr char kChurnKey[] = "Software\\Corvane Churn";
constexpr char kChurnStopEvent[] = "Corvane churn stop";
constexpr int kChurnSubkeys = 6;
constexpr int kChurnValues = 12;

inline std::string ChurnValueName(int n) { return "value " + std::to_string(n); }
inline std::string ChurnSubkeyName(int n) { return "key " + std::to_string(n); }

// The data of the named value as generation `generation` writes it: the
// generation, then bytes made from the name and the generation, of a length
// that grows with the generations and starts again (past the walker's first
// buffer size now and then).
inline std::vector<uint8_t> ChurnData(const std::string& name, uint32_t generation)
{
    uint32_t length = 4 + (generation * 7919u) % 6000u;
    std::vector<uint8_t> data(length);
    for (int i = 0; i < 4; ++i)
        data[i] = static_cast<uint8_t>(generation >> (8 * i));
    uint32_t seed = generation;
    for (char c : name)
        seed = seed * 31u + static_cast<uint8_t>(c);
    for (uint32_t i = 4; i < length; ++i)
        data[i] = static_cast<uint8_t>((seed + i * 131u) >> 3);
    return data;
}

// Whether data is what some generation writes for the named value.
inline bool IsChurnState(const std::string& name, uint32_t type, const std::vector<uint8_t>& data)
{
    if (type != REG_BINARY || data.size() < 4)
        return false;
    uint32_t generation = static_cast<uint32_t>(data[0]) | (static_cast<uint32_t>(data[1]) << 8) |
                          (static_cast<uint32_t>(data[2]) << 16) | (static_cast<uint32_t>(data[3]) << 24);
    return data == ChurnData(name, generation);
}
