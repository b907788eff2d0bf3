// What the testers share: the stop flag, the timing plan, the work buffer and the
// test override.
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>

#include "Engine/LogCheck.h"
#include "Testers/TesterSupport.h"

namespace qvx {

namespace {
std::atomic<IQvxTesterOverride*> g_pOverride{nullptr};
std::atomic<size_t> g_uBufferBytes{0};
}

IQvxTesterOverride* TesterOverride() { return g_pOverride.load(std::memory_order_acquire); }

} // namespace qvx

void QvxSetTesterOverride(IQvxTesterOverride* pOverride) { qvx::g_pOverride.store(pOverride, std::memory_order_release); }

size_t QvxTesterBufferBytes() { return qvx::g_uBufferBytes.load(std::memory_order_relaxed); }

CTesterBase::CTesterBase() = default;

CTesterBase::~CTesterBase() { ReleaseBuffer(); }

void CTesterBase::ReleaseBuffer()
{
    std::free(m_pBuffer);
    qvx::g_uBufferBytes.fetch_sub(m_uBufferSize, std::memory_order_relaxed);
    m_pBuffer = nullptr;
    m_uBufferSize = 0;
}

void* CTesterBase::_Buffer(size_t uBytes, bool bOneBlock)
{
    if (m_pBuffer && m_uBufferSize >= uBytes)
        return m_pBuffer;
    ReleaseBuffer();
    // Large buffers start on a 2 MiB boundary, so a system that hands out large pages to
    // every program can back them with whole ones.
    constexpr size_t kLargePage = size_t(2) << 20;
    const size_t align = bOneBlock || uBytes >= (64u << 20) ? kLargePage : 64;
    const size_t bytes = (uBytes + align - 1) / align * align;
    void* p = std::aligned_alloc(align, bytes);
    LOG_PROCESS_ERROR_RET(p, nullptr);
    // Only advice: where the system gives no large pages on request, the buffer stays
    // in small ones and everything else is the same.
    if (bOneBlock)
        madvise(p, bytes, MADV_HUGEPAGE);
    // Written once before any timing, so no pass pays for the first touch of a page.
    for (size_t done = 0; done < bytes; done += qvx::kChunkBytes) {
        if (_Stopping()) {
            std::free(p);
            return nullptr;
        }
        const size_t chunk = std::min(qvx::kChunkBytes, bytes - done);
        std::memset(static_cast<char*>(p) + done, 0x5A, chunk);
    }
    m_pBuffer = p;
    m_uBufferSize = bytes;
    qvx::g_uBufferBytes.fetch_add(bytes, std::memory_order_relaxed);
    return m_pBuffer;
}
