#pragma once
// The text attribute names and the underline styles.
#include "Foundation/NSString.h"

inline const Ref<NSString> NSFontAttributeName = "NSFont"_ns;
inline const Ref<NSString> NSForegroundColorAttributeName = "NSColor"_ns;
inline const Ref<NSString> NSBackgroundColorAttributeName = "NSBackgroundColor"_ns;
inline const Ref<NSString> NSParagraphStyleAttributeName = "NSParagraphStyle"_ns;
inline const Ref<NSString> NSKernAttributeName = "NSKern"_ns;
inline const Ref<NSString> NSUnderlineStyleAttributeName = "NSUnderline"_ns;
inline const Ref<NSString> NSStrikethroughStyleAttributeName = "NSStrikethrough"_ns;
inline const Ref<NSString> NSUnderlineColorAttributeName = "NSUnderlineColor"_ns;
inline const Ref<NSString> NSStrikethroughColorAttributeName = "NSStrikethroughColor"_ns;
inline const Ref<NSString> NSShadowAttributeName = "NSShadow"_ns;
inline const Ref<NSString> NSSuperscriptAttributeName = "NSSuperScript"_ns;
inline const Ref<NSString> NSBaselineOffsetAttributeName = "NSBaselineOffset"_ns;
inline const Ref<NSString> NSLinkAttributeName = "NSLink"_ns;
inline const Ref<NSString> NSAttachmentAttributeName = "NSAttachment"_ns;
inline const Ref<NSString> NSLigatureAttributeName = "NSLigature"_ns;

// Underline and strikethrough styles: a line style in the low byte, a
// pattern in the next.
inline constexpr NSInteger NSUnderlineStyleNone = 0x00;
inline constexpr NSInteger NSUnderlineStyleSingle = 0x01;
inline constexpr NSInteger NSUnderlineStyleThick = 0x02;
inline constexpr NSInteger NSUnderlineStyleDouble = 0x09;
inline constexpr NSInteger NSUnderlinePatternSolid = 0x0000;
inline constexpr NSInteger NSUnderlinePatternDot = 0x0100;
inline constexpr NSInteger NSUnderlinePatternDash = 0x0200;
inline constexpr NSInteger NSUnderlinePatternDashDot = 0x0300;
inline constexpr NSInteger NSUnderlinePatternDashDotDot = 0x0400;
