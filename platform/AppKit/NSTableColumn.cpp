#include "AppKit/NSTableColumn.h"

#include <algorithm>
#include <cmath>

#include "AppKit/NSColorSpace.h"
#include "AppKit/NSTableView.h"
#include "AppKit/ViewCoding.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSCoder.h"

NS_CLASS_DEFINE(NSTableColumn)

namespace {

// Text-field cells archive their colours as RGB components, which named
// system colours do not answer: the column's cells keep RGB equivalents.
void useRGBColours(const Ref<NSCell>& cell)
{
    auto text = dynamic_ref_cast<NSTextFieldCell>(cell);
    if (!text) return;
    auto rgb = [](const Ref<NSColor>& c) {
        return c ? c->colorUsingColorSpaceName(NSCalibratedRGBColorSpace) : nullptr;
    };
    if (auto c = rgb(text->textColor())) text->setTextColor(c);
    if (auto c = rgb(text->backgroundColor())) text->setBackgroundColor(c);
}

}

void NSTableColumn::describeClass(NSClassMembers<NSTableColumn>& m)
{
    m.property("identifier", &NSTableColumn::identifier, &NSTableColumn::setIdentifier);
    m.property("width", &NSTableColumn::width, &NSTableColumn::setWidth);
    m.property("title", &NSTableColumn::title, &NSTableColumn::setTitle);
    m.property("editable", &NSTableColumn::isEditable, &NSTableColumn::setEditable);
}

Ref<NSTableColumn> NSTableColumn::initWithIdentifier(const Id& identifier)
{
    m_identifier = identifier;
    m_headerCell = static_ref_cast<NSCell>(alloc<NSTableHeaderCell>()->initTextCell(NSString::string()));
    auto data = alloc<NSTextFieldCell>();
    data->initTextCell(NSString::string());
    data->setEditable(true);
    data->setControlSize(1);
    m_dataCell = data;
    useRGBColours(m_headerCell);
    useRGBColours(m_dataCell);
    return this;
}

Ref<NSTableView> NSTableColumn::tableView() const { return m_tableView.get(); }

void NSTableColumn::setTableView(const Ref<NSTableView>& tableView) { m_tableView = tableView; }

void NSTableColumn::changed()
{
    if (auto table = tableView()) table->tile();
}

void NSTableColumn::setWidth(CGFloat width)
{
    if (!std::isfinite(width)) return;
    width = std::clamp(width, m_minWidth, std::max(m_minWidth, m_maxWidth));
    if (width == m_width) return;
    m_width = width;
    changed();
}

void NSTableColumn::setMinWidth(CGFloat width)
{
    m_minWidth = std::max(0.0, width);
    if (m_width < m_minWidth) setWidth(m_minWidth);
}

void NSTableColumn::setMaxWidth(CGFloat width)
{
    m_maxWidth = std::max(m_minWidth, width);
    if (m_width > m_maxWidth) setWidth(m_maxWidth);
}

Ref<NSString> NSTableColumn::title() const { return m_headerCell ? m_headerCell->stringValue() : NSString::string(); }

void NSTableColumn::setTitle(const Ref<NSString>& title)
{
    if (m_headerCell) m_headerCell->setStringValue(title ? title : NSString::string());
    if (auto table = tableView(); table && table->headerView()) table->headerView()->setNeedsDisplay(true);
}

void NSTableColumn::setHeaderCell(const Ref<NSCell>& cell)
{
    if (!cell) return;
    m_headerCell = cell;
    if (auto table = tableView(); table && table->headerView()) table->headerView()->setNeedsDisplay(true);
}

void NSTableColumn::setDataCell(const Ref<NSCell>& cell)
{
    if (!cell) return;
    m_dataCell = cell;
    if (auto table = tableView()) table->setNeedsDisplay(true);
}

Ref<NSCell> NSTableColumn::dataCellForRow(NSInteger) const { return m_dataCell; }

void NSTableColumn::setHidden(bool flag)
{
    if (flag == m_hidden) return;
    m_hidden = flag;
    changed();
}

void NSTableColumn::encodeWithCoder(NSCoder* coder) const
{
    using ViewCoding::key;
    if (m_identifier) coder->encodeObject(m_identifier, key("NSIdentifier"));
    coder->encodeDouble(m_width, key("NSWidth"));
    coder->encodeDouble(m_minWidth, key("NSMinWidth"));
    coder->encodeDouble(m_maxWidth, key("NSMaxWidth"));
    coder->encodeObject(m_headerCell, key("NSHeaderCell"));
    coder->encodeObject(m_dataCell, key("NSDataCell"));
    coder->encodeBool(m_editable, key("NSIsEditable"));
    coder->encodeBool(m_hidden, key("NSHidden"));
    coder->encodeInteger(NSInteger(m_resizingMask), key("NSResizingMask"));
}

Id NSTableColumn::initWithCoder(NSCoder* coder)
{
    using ViewCoding::key;
    auto finite = [](double v) { return std::isfinite(v) ? std::max(0.0, v) : 0.0; };
    m_identifier = coder->decodeObjectForKey(key("NSIdentifier"));
    m_minWidth = finite(coder->decodeDoubleForKey(key("NSMinWidth")));
    m_maxWidth = std::max(m_minWidth, finite(coder->decodeDoubleForKey(key("NSMaxWidth"))));
    m_width = std::clamp(finite(coder->decodeDoubleForKey(key("NSWidth"))), m_minWidth, m_maxWidth);
    m_headerCell = dynamic_ref_cast<NSCell>(coder->decodeObjectForKey(key("NSHeaderCell")));
    m_dataCell = dynamic_ref_cast<NSCell>(coder->decodeObjectForKey(key("NSDataCell")));
    // A column never runs without its cells.
    if (!m_headerCell)
        m_headerCell = static_ref_cast<NSCell>(alloc<NSTableHeaderCell>()->initTextCell(NSString::string()));
    if (!m_dataCell) m_dataCell = static_ref_cast<NSCell>(alloc<NSTextFieldCell>()->initTextCell(NSString::string()));
    m_editable = coder->decodeBoolForKey(key("NSIsEditable"));
    m_hidden = coder->decodeBoolForKey(key("NSHidden"));
    m_resizingMask = NSUInteger(coder->decodeIntegerForKey(key("NSResizingMask"))) & 3;
    return this;
}
