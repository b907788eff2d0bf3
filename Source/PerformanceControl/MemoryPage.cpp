#include "PerformanceControl/MemoryPage.h"

#include <QComboBox>
#include <QShowEvent>
#include <QString>

#include "Engine/Log.h"
#include "Settings/ConfigParser.h"
#include "Shell/GlobalFlags.h"

// LOG_PROCESS_ERROR under the page's class name, for a failed check's text or a
// record operation's failure text.
#define PAGE_PROCESS_ERROR_TEXT(text, method) \
    do { \
        if (const char* pszFailed = (text)) { \
            _LogFailure("LOG_PROCESS_ERROR", pszFailed, __LINE__, method); \
            return false; \
        } \
    } while (0)
#define PAGE_PROCESS_ERROR(cond, method) PAGE_PROCESS_ERROR_TEXT((cond) ? nullptr : #cond, method)

void CMemoryPage::_LogFailure(const char* pszKind, const char* pszExpression, int nLine, const char* pszMethod) const
{
    const QByteArray method = QByteArray(m_pszClass) + "::" + pszMethod;
    g_Log.Write(ltError, "%s(%s) at line %d in %s\n", pszKind, pszExpression, nLine, method.constData());
}

void CMemoryPage::on_valueChanged(int)
{
    g_bModified = true;
}

void CMemoryPage::_ConnectSignals(QComboBox* pFixedBox)
{
    for (QComboBox* box : findChildren<QComboBox*>())
        if (box != pFixedBox)
            connect(box, &QComboBox::currentIndexChanged, this, &CMemoryPage::on_valueChanged);
}

bool CMemoryPage::ReadMemoryTiming()
{
    PAGE_PROCESS_ERROR_TEXT(memory::ReadRecord<MEMORY_TIMING>(_TimingFields(), m_ReadChoices), "ReadMemoryTiming");
    return true;
}

bool CMemoryPage::ReadMemoryConfig()
{
    PAGE_PROCESS_ERROR_TEXT(memory::ReadRecord<MEMORY_CONFIG>(_ConfigFields(), m_ReadChoices), "ReadMemoryConfig");
    return true;
}

template <class Record>
bool CMemoryPage::_WriteRecord(const memory::Fields& fields, SaveProfile<Record> save, const char* pszMethod)
{
    // The store first, as its users expect: it is created before any device is touched.
    CConfigParser* pStore = CConfigParser::GetInstance();
    Record written{};
    PAGE_PROCESS_ERROR_TEXT(memory::WriteRecord(fields, m_ReadChoices, written), pszMethod);
    m_bStoreFailed = !(this->*save)(pStore, written) || m_bStoreFailed;
    return true;
}

bool CMemoryPage::WriteMemoryTiming()
{
    return _WriteRecord(_TimingFields(), &CMemoryPage::SaveMemoryTimingProfile, "WriteMemoryTiming");
}

bool CMemoryPage::WriteMemoryConfig()
{
    return _WriteRecord(_ConfigFields(), &CMemoryPage::SaveMemoryConfigProfile, "WriteMemoryConfig");
}

bool CMemoryPage::Apply()
{
    // Nothing the user changed here: nothing to write, and the stored values stay
    // those the user applied (the controller may hold others now, set by another
    // page, a profile or Auto Clock). The boxes still show what it holds.
    if (!_HoldsUserChange()) {
        Discard();
        return true;
    }
    m_bStoreFailed = false;
    bool bRetCode = WriteMemoryTiming();
    // No configuration write after a refused timing write.
    if (bRetCode)
        bRetCode = WriteMemoryConfig();
    if (!bRetCode)
        _LogFailure("LOG_PROCESS_ERROR", "bRetCode", __LINE__, "Apply");
    // What the controller took stays applied even when the value store could not keep it.
    if (m_bStoreFailed)
        _LogFailure("LOG_CHECK_ERROR", "!m_bStoreFailed", __LINE__, "Apply");
    // Always, so the boxes show what the controller holds after the attempt.
    Discard();
    return bRetCode;
}

bool CMemoryPage::Discard()
{
    bool bRetCode = ReadMemoryTiming();
    PAGE_PROCESS_ERROR(bRetCode, "Discard");
    bRetCode = ReadMemoryConfig();
    PAGE_PROCESS_ERROR(bRetCode, "Discard");
    return true;
}

bool CMemoryPage::_HoldsUserChange() const
{
    for (const memory::Fields& fields : {_TimingFields(), _ConfigFields()})
        for (const memory::Field& field : fields)
            if (memory::Changed(field, m_ReadChoices))
                return true;
    return false;
}

void CMemoryPage::showEvent(QShowEvent* event)
{
    IQVXWidget::showEvent(event);
    if (_HoldsUserChange())
        return;
    // Selecting what was read is not the user's change.
    const bool bModified = g_bModified;
    Discard();
    g_bModified = bModified;
}
