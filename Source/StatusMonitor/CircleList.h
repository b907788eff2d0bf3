#pragma once
// A fixed ring of samples for the usage graphs: it keeps the newest ones and
// drops the oldest when full. One slot always stays free, so a ring of N slots
// holds N - 1 samples. GUI thread only.
#include <cstdint>
#include <new>

#include "Engine/LogCheck.h"

template <class T>
class CCircleList {
public:
    CCircleList() = default;
    virtual ~CCircleList() { UnInit(); }
    CCircleList(const CCircleList&) = delete;
    CCircleList& operator=(const CCircleList&) = delete;

    // Allocates size slots. A ring that has its array keeps it and its samples.
    bool Init(unsigned size)
    {
        if (m_DataSet) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "m_DataSet == NULL");
            return false;
        }
        // One slot always stays free: fewer than two could hold nothing (and zero
        // slots would divide by zero in Push).
        LOG_PROCESS_ERROR(size >= 2);
        m_uSize = size;
        m_DataSet = new (std::nothrow) T[size];
        LOG_PROCESS_ERROR(m_DataSet);
        // A ring made again after UnInit starts empty, its indexes inside the new size.
        m_uHead = m_uTail = m_uCursor = 0;
        return true;
    }

    void Push(const T& value)
    {
        if (!m_DataSet) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "m_DataSet");
            return;
        }
        m_DataSet[m_uTail] = value;
        m_uTail = (m_uTail + 1) % m_uSize;
        if (m_uTail == m_uHead)
            m_uHead = (m_uHead + 1) % m_uSize;   // full: the oldest sample goes
    }

    // The oldest sample, null when there is none; starts a walk.
    T* GetFirst()
    {
        LOG_PROCESS_ERROR_RET(m_DataSet, nullptr);
        if (m_uHead == m_uTail)
            return nullptr;
        m_uCursor = (m_uHead + 1) % m_uSize;
        return &m_DataSet[m_uHead];
    }

    // The next sample of the walk, null at its end.
    T* GetNext()
    {
        LOG_PROCESS_ERROR_RET(m_DataSet, nullptr);
        if (m_uCursor == m_uTail)
            return nullptr;
        T* p = &m_DataSet[m_uCursor];
        m_uCursor = (m_uCursor + 1) % m_uSize;
        return p;
    }

    bool UnInit()
    {
        delete[] m_DataSet;
        m_DataSet = nullptr;
        return true;
    }

private:
    T* m_DataSet = nullptr;
    uint32_t m_uSize = 0;
    uint32_t m_uHead = 0;
    uint32_t m_uTail = 0;
    uint32_t m_uCursor = 0;
};
