#pragma once
// Benchmark testers: one set per benchmark thread, never shared, usable without
// any Init. Each call measures this computer: tight loops on 64-byte aligned
// buffers of its own, touched before timing, timed on a steady clock; a timed pass
// lasts at least the pass time and the best of the passes counts.
//
// Units:
//   CCPUTesterIC::GetBenchmarkValue    spigot steps (one multiply-add and one integer
//                                      division each) per second / 200,000
//   CCPUTesterFPC::GetBenchmarkValue   double-precision MFLOPS of a 256 x 256 matrix
//                                      product / 10
//   memory and cache speeds            MB/s (10^6 bytes per second)
//   GetMainMemoryLatency               nanoseconds per dependent load
// A value of 0 means the measurement was stopped or its self-check failed.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "QVXLogic/Types.h"

// What a tester measures; an override answers per quantity.
enum TESTER_QUANTITY : int32_t {
    tqInteger, tqFloatingPoint,
    tqMemoryRead, tqMemoryWrite, tqMemoryLatency,
    tqL1Read, tqL1Write, tqL2Read, tqL2Write,
    tqTotal
};

// What every tester shares: the owner's stop flag, the timing plan and one
// work buffer, allocated on first use and kept until ReleaseBuffer or the
// tester's end (the main-memory one may be a good part of the computer's memory).
class QVXLOGIC_API CTesterBase {
public:
    CTesterBase(const CTesterBase&) = delete;
    CTesterBase& operator=(const CTesterBase&) = delete;

    // Gives the work buffer back; the next measurement makes a new one. Call it from
    // the thread that measures, or once that thread has ended.
    void ReleaseBuffer();

    // The owner sets *pStop to end a measurement early (any thread); the tester looks
    // at it every few milliseconds and then returns 0. Null: never stopped.
    void SetStopFlag(const std::atomic<bool>* pStop) { m_pStop = pStop; }
    // Shortens or lengthens the measurement (tests keep it tiny).
    void SetPassTime(double dSeconds) { m_dPassTime = dSeconds; }
    void SetPassCount(int nPasses) { m_nPasses = nPasses < 1 ? 1 : nPasses; }

protected:
    CTesterBase();
    ~CTesterBase();
    // The work buffer, at least uBytes, 64-byte aligned and written once; null when
    // memory is short or the owner stopped while it was being touched. bOneBlock: it
    // starts on a 2 MiB boundary and asks the system for large pages, so a working set
    // of cache size lies in one physically contiguous block and its speed does not hang
    // on which small pages (and so which cache sets) it happened to get.
    void* _Buffer(size_t uBytes, bool bOneBlock = false);
    bool _Stopping() const { return m_pStop && m_pStop->load(std::memory_order_relaxed); }
    // Best rate (work per second) of the passes; each pass repeats body until the
    // pass time is over. body() returns the work it did. 0 when stopped.
    template <class Body>
    double _BestRate(Body body);

    const std::atomic<bool>* m_pStop = nullptr;
    double m_dPassTime = 0.1;
    int m_nPasses = 5;
    uint64_t m_uSink = 0;   // results land here, so the work cannot be dropped

private:
    void* m_pBuffer = nullptr;
    size_t m_uBufferSize = 0;
};

class QVXLOGIC_API CCPUTesterIC : public CTesterBase {
public:
    CCPUTesterIC();
    virtual ~CCPUTesterIC();
    virtual double GetBenchmarkValue();
};

class QVXLOGIC_API CCPUTesterFPC : public CTesterBase {
public:
    CCPUTesterFPC();
    virtual ~CCPUTesterFPC();
    virtual double GetBenchmarkValue();
};

class QVXLOGIC_API CMemoryTester : public CTesterBase {
public:
    CMemoryTester();
    virtual ~CMemoryTester();
    virtual float GetMainMemoryReadSpeed();
    virtual float GetMainMemoryWriteSpeed();
    virtual float GetMainMemoryLatency();

    // Bytes of the buffer the speeds are measured on: BufferSizeFor the last-level
    // cache of the CPUs the thread making the tester may run on (pinned: its one CPU;
    // free: the largest of theirs), which the threads it starts inherit.
    size_t GetBufferSize() const { return m_uBytes; }
    void SetBufferSize(size_t uBytes);   // tests use small ones
    // For a last-level cache of uLastLevel bytes and uPhysical bytes of memory (0:
    // unknown): the least power of two of at least four times the cache and 64 MiB
    // (so 256 MiB at most for caches up to 64 MiB), never above an eighth of the
    // memory; 256 MiB when the cache is unknown.
    static size_t BufferSizeFor(size_t uLastLevel, size_t uPhysical);

private:
    size_t m_uBytes;
};

class QVXLOGIC_API CCacheTester : public CTesterBase {
public:
    CCacheTester();
    virtual ~CCacheTester();
    virtual float GetL1CacheReadSpeed();
    virtual float GetL1CacheWriteSpeed();
    virtual float GetL2CacheReadSpeed();
    virtual float GetL2CacheWriteSpeed();

    // Working sets: half the L1 data cache and half the L2 cache of this computer.
    size_t GetL1WorkingSet() const;
    size_t GetL2WorkingSet() const;

private:
    float _SweepSpeed(TESTER_QUANTITY eQuantity, size_t uBytes, bool bWrite);
};

// Test seam: while one is installed, every tester asks it instead of measuring. It
// is called on the tester's thread with the tester's stop flag (may be null).
class IQvxTesterOverride {
public:
    virtual double Measure(TESTER_QUANTITY quantity, const std::atomic<bool>* pStop) = 0;
protected:
    ~IQvxTesterOverride() = default;
};
QVXLOGIC_API void QvxSetTesterOverride(IQvxTesterOverride* pOverride);

// Bytes of work buffer all testers of the process hold now (any thread).
QVXLOGIC_API size_t QvxTesterBufferBytes();
