#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>

// Which part of the demo data a generator serves. Each harness, job and label draws from
// a generator of its own, seeded by its stream and index, so that its rows do not depend
// on how many others come before it: a larger scale only adds rows.
enum class DemoStream : quint64 { Users = 1, Harnesses, Jobs, Labels };

// SplitMix64: the demo data must come out the same on every run and every platform, which
// rand() does not promise.
class DemoRandom
{
public:
    explicit DemoRandom(quint64 seed) : m_state(seed) {}
    static DemoRandom For(DemoStream stream, qint64 index);

    quint64 Next();
    // A number from 0 to bound - 1; bound must be positive.
    int Below(int bound);
    // A number from low to high, both included; low must not exceed high.
    int Between(int low, int high);
    // True in about `percent` of the calls.
    bool Chance(int percent);
    QByteArray Bytes(int count);
    // A random (version 4) GUID, braced and upper-case: "{0F8FAD5B-D9CB-469F-A165-70867728950E}".
    QByteArray Guid();

    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[Below(static_cast<int>(N))];
    }

private:
    quint64 m_state;
};
