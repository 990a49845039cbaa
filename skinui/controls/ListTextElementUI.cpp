#include "ListTextElementUI.h"

#include "GdiPainter.h"
#include "WindowManagerUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t *const CListTextElementUI::kClassName = L"ListTextElement";

namespace {

int ColumnSpan(const ListItemStyle &style)
{
    const int count = style.columnCount;
    return count > 0 ? style.columns[count - 1].right - style.columns[0].left : 0;
}

} // namespace

CListTextElementUI::CListTextElementUI()
    : m_linkCount(0), m_links{}, m_hotLink(-1), m_ownerList(nullptr), m_lastMeasuredSpan(0)
{
}

CListTextElementUI::~CListTextElementUI()
{
    for (int i = 0; i < m_columnTexts.GetCount(); ++i)
        delete static_cast<CWideString *>(m_columnTexts[i]);
}

const wchar_t *CListTextElementUI::GetClass() const
{
    return kClassName;
}

void *CListTextElementUI::GetInterface(const wchar_t *name)
{
    if (name != nullptr && wcscmp(name, kClassName) == 0)
        return this;
    return CListLabelElementUI::GetInterface(name);
}

UINT CListTextElementUI::GetBehaviorFlags() const
{
    UINT flags = BehaviorListItem;
    if (IsEnabled() && m_linkCount > 0)
        flags |= BehaviorSetCursor;
    return flags;
}

void CListTextElementUI::SetOwner(CControlUI *owner)
{
    if (owner == nullptr)
        return;
    CListLabelElementUI::SetOwner(owner);
    m_ownerList = static_cast<IListUI *>(owner->GetInterface(L"IList"));
}

const wchar_t *CListTextElementUI::GetColumnText(int column) const
{
    auto *text = static_cast<CWideString *>(m_columnTexts.GetAt(column));
    return text != nullptr ? text->GetData() : nullptr;
}

void CListTextElementUI::SetColumnText(int column, const wchar_t *text)
{
    if (column < 0 || column >= ListItemStyle::kMaxColumns)
        return;
    while (m_columnTexts.GetCount() <= column)
        if (!m_columnTexts.Add(new CWideString))
            return;
    *static_cast<CWideString *>(m_columnTexts[column]) = text;
    m_needsMeasure = true;
    ListItemCore::InvalidateVisiblePart(*this);
}

// Without column texts the element's own text stands in the first column.
CWideString CListTextElementUI::GetShownText(int column)
{
    IListTextProviderUI *provider =
        m_ownerList != nullptr ? m_ownerList->GetTextProvider() : nullptr;
    if (provider != nullptr)
        return provider->GetItemText(this, m_core.index, column);
    if (m_columnTexts.IsEmpty())
        return column == 0 ? m_text : CWideString();
    return CWideString(GetColumnText(column));
}

SIZE CListTextElementUI::MeasureDesiredSize(const ListItemStyle &style, SIZE available)
{
    const int span = ColumnSpan(style);
    const CWideString text = GetShownText(0);
    const bool changed = span != m_lastMeasuredSpan || text != m_lastMeasuredText.GetData();
    const SIZE size = MeasuredSize(style, available, text.GetData(),
                                   m_fixedSize.cx > 0 ? m_fixedSize.cx : span, changed);
    if (m_manager != nullptr) {
        m_lastMeasuredSpan = span;
        m_lastMeasuredText = text;
    }
    return size;
}

// Each text gets only the link slots the texts before it left free.
void CListTextElementUI::DrawCell(HDC dc, const RECT &rect, const CWideString &text, DWORD color,
                                  const ListItemStyle &style)
{
    int slots = kMaxLinks - m_linkCount;
    ListItemCore::DrawStyledText(dc, m_manager, rect, text.GetData(), color, style,
                                 m_links + m_linkCount, m_linkNames + m_linkCount, &slots);
    if (style.showHtml)
        m_linkCount += slots;
}

// The style is the owner's, a list's or a combo box's alike. The rectangle is the element's
// own when it paints itself, and the face of a combo box that shows it as its selection.
void CListTextElementUI::DrawItemText(HDC dc, const RECT &rect)
{
    const ListItemStyle *owned = m_core.Style();
    if (owned == nullptr || m_manager == nullptr)
        return;
    const ListItemStyle &style = *owned;
    const DWORD color = m_core.TextColor(*this, style);
    m_linkCount = 0;
    if (style.columnCount == 0) {
        DrawCell(dc, TextRect(rect, style), GetShownText(0), color, style);
    } else {
        for (int i = 0; i < style.columnCount; ++i) {
            RECT cell = {style.columns[i].left, rect.top, style.columns[i].right, rect.bottom};
            if (style.vLineSize > 0 && i != style.columnCount - 1) {
                const int x = cell.right - style.vLineSize / 2;
                CGdiPainter::DrawLine(dc, RECT{x, cell.top, x, cell.bottom}, style.vLineSize,
                                      HslAdjustedColor(style.vLineColor));
                cell.right -= style.vLineSize;
            }
            DrawCell(dc, TextRect(cell, style), GetShownText(i), color, style);
        }
    }
    for (int i = m_linkCount; i < kMaxLinks; ++i) {
        m_links[i] = RECT{0, 0, 0, 0};
        m_linkNames[i].Empty();
    }
}

int CListTextElementUI::LinkAt(const POINT &point) const
{
    for (int i = 0; i < m_linkCount; ++i)
        if (PtInRect(&m_links[i], point))
            return i;
    return -1;
}

// True when the event ends here.
bool CListTextElementUI::HandleLinkEvent(ControlEvent &event)
{
    const int link = LinkAt(event.mousePoint);
    switch (event.type) {
    case EventSetCursor:
        if (link < 0)
            return false;
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return true;
    case EventButtonUp:
        if (link < 0 || !IsEnabled())
            return false;
        if (m_manager != nullptr)
            m_manager->SendNotify(this, L"link", static_cast<WPARAM>(link));
        return true;
    case EventMouseMove:
        if (m_linkCount > 0 && link != m_hotLink) {
            m_hotLink = link;
            ListItemCore::InvalidateVisiblePart(*this);
        }
        return false;
    case EventMouseLeave:
        if (m_hotLink < 0)
            return false;
        if (m_hotLink < m_linkCount && PtInRect(&m_links[m_hotLink], event.mousePoint)) {
            if (m_manager != nullptr)
                m_manager->AddMouseLeaveListener(this);
            return true;
        }
        m_hotLink = -1;
        ListItemCore::InvalidateVisiblePart(*this);
        if (m_manager != nullptr)
            m_manager->RemoveMouseLeaveListener(this);
        return false;
    default:
        return false;
    }
}

void CListTextElementUI::DoEvent(ControlEvent &event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_ownerList != nullptr)
            m_ownerList->DoEvent(event);
        else
            CListLabelElementUI::DoEvent(event);
        return;
    }
    if (!HandleLinkEvent(event))
        CListLabelElementUI::DoEvent(event);
}

} // namespace SkinUI
