#pragma once
// Paragraph attributes: alignment, line breaking, indents, spacing, tabs.
#include "AppKit/NSTextTab.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSObject.h"

enum NSTextAlignment : NSUInteger {
    NSTextAlignmentLeft = 0,
    NSTextAlignmentRight = 1,
    NSTextAlignmentCenter = 2,
    NSTextAlignmentJustified = 3,
    NSTextAlignmentNatural = 4,
};
inline constexpr NSTextAlignment NSLeftTextAlignment = NSTextAlignmentLeft;
inline constexpr NSTextAlignment NSRightTextAlignment = NSTextAlignmentRight;
inline constexpr NSTextAlignment NSCenterTextAlignment = NSTextAlignmentCenter;
inline constexpr NSTextAlignment NSJustifiedTextAlignment = NSTextAlignmentJustified;
inline constexpr NSTextAlignment NSNaturalTextAlignment = NSTextAlignmentNatural;

enum NSLineBreakMode : NSUInteger {
    NSLineBreakByWordWrapping = 0,
    NSLineBreakByCharWrapping = 1,
    NSLineBreakByClipping = 2,
    NSLineBreakByTruncatingHead = 3,
    NSLineBreakByTruncatingTail = 4,
    NSLineBreakByTruncatingMiddle = 5,
};

class NSParagraphStyle : public NSObject {
    NS_OBJECT(NSParagraphStyle, NSObject)
protected:
    NSParagraphStyle() = default;

public:
    static Ref<NSParagraphStyle> defaultParagraphStyle();

    NSTextAlignment alignment() const { return m_alignment; }
    NSLineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    CGFloat lineSpacing() const { return m_lineSpacing; }
    CGFloat paragraphSpacing() const { return m_paragraphSpacing; }
    CGFloat paragraphSpacingBefore() const { return m_paragraphSpacingBefore; }
    CGFloat headIndent() const { return m_headIndent; }
    CGFloat firstLineHeadIndent() const { return m_firstLineHeadIndent; }
    CGFloat tailIndent() const { return m_tailIndent; }
    CGFloat minimumLineHeight() const { return m_minimumLineHeight; }
    CGFloat maximumLineHeight() const { return m_maximumLineHeight; }
    CGFloat defaultTabInterval() const { return m_defaultTabInterval; }
    // Twelve left tabs 28 points apart unless set.
    Ref<NSArray> tabStops() const { return m_tabStops; }

    bool isEqual(const NSObject* other) const override;
    NSUInteger hash() const override { return m_alignment * 31 + m_lineBreakMode; }
    Id copy() const override;
    Id mutableCopy() const override;

protected:
    void copyFrom(const NSParagraphStyle& other);
    NSTextAlignment m_alignment = NSTextAlignmentNatural;
    NSLineBreakMode m_lineBreakMode = NSLineBreakByWordWrapping;
    CGFloat m_lineSpacing = 0, m_paragraphSpacing = 0, m_paragraphSpacingBefore = 0;
    CGFloat m_headIndent = 0, m_firstLineHeadIndent = 0, m_tailIndent = 0;
    CGFloat m_minimumLineHeight = 0, m_maximumLineHeight = 0;
    CGFloat m_defaultTabInterval = 0;
    Ref<NSArray> m_tabStops;
};

class NSMutableParagraphStyle : public NSParagraphStyle {
    NS_OBJECT(NSMutableParagraphStyle, NSParagraphStyle)
protected:
    NSMutableParagraphStyle() = default;

public:
    static Ref<NSMutableParagraphStyle> paragraphStyle();

    void setAlignment(NSTextAlignment a) { m_alignment = a; }
    void setLineBreakMode(NSLineBreakMode m) { m_lineBreakMode = m; }
    void setLineSpacing(CGFloat v) { m_lineSpacing = v; }
    void setParagraphSpacing(CGFloat v) { m_paragraphSpacing = v; }
    void setParagraphSpacingBefore(CGFloat v) { m_paragraphSpacingBefore = v; }
    void setHeadIndent(CGFloat v) { m_headIndent = v; }
    void setFirstLineHeadIndent(CGFloat v) { m_firstLineHeadIndent = v; }
    void setTailIndent(CGFloat v) { m_tailIndent = v; }
    void setMinimumLineHeight(CGFloat v) { m_minimumLineHeight = v; }
    void setMaximumLineHeight(CGFloat v) { m_maximumLineHeight = v; }
    void setDefaultTabInterval(CGFloat v) { m_defaultTabInterval = v; }
    void setTabStops(const Ref<NSArray>& tabs) { m_tabStops = tabs ? tabs : NSArray::array(); }
    void addTabStop(const Ref<NSTextTab>& tab);
    void removeTabStop(const Ref<NSTextTab>& tab);
    void setParagraphStyle(const Ref<NSParagraphStyle>& other);
};
