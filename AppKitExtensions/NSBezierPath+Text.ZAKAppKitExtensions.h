#pragma once
// Text laid along a path: each glyph set at its distance along the path,
// turned to the path's slope, and drawn, turned into an outline or measured;
// justified text kerned to fill the path; underlines (broken at
// descenders) and strikethroughs following the path. A caller redrawing one
// path passes a mutable dictionary as cache, which keeps the placements and
// line paths until the path changes (its checksum or its exact elements).
//
// Things laid along a path: objects at an interval, a pattern repeated, a
// chain of straight links, an object moving over time, and the rectangles of
// text lines inside a closed shape, which rest on the crossings of the path
// with a horizontal line.
//
// The caller's objects answer the small protocols below; each is tested
// (by its type) before use.
#include "AppKit/NSBezierPath.h"
#include "AppKit/NSLayoutManager.h"
#include "AppKitExtensions/TextOnPathPlacement.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSTimer.h"

class ZAKPathObjectFactory {
public:
    virtual ~ZAKPathObjectFactory() = default;
    // The object for a point at position along the path (slope in radians),
    // or nil for none.
    virtual Id placeObjectAtPoint(NSPoint point, const Ref<NSBezierPath>& path, CGFloat position, CGFloat slope,
                                  void* userInfo) = 0;
};

class ZAKPathLinkFactory {
public:
    virtual ~ZAKPathLinkFactory() = default;
    // The object for link number linkNumber (from 0), or nil for none.
    virtual Id placeLinkFromPoint(NSPoint from, NSPoint to, const Ref<NSBezierPath>& path, NSInteger linkNumber,
                                  void* userInfo) = 0;
};

class ZAKPathMovedObject {
public:
    virtual ~ZAKPathMovedObject() = default;
    // NO stops the motion.
    virtual bool moveObjectTo(NSPoint point, CGFloat position, CGFloat slope, const Id& userInfo) = 0;
};

class ZAKPathTaperDelegate {
public:
    virtual ~ZAKPathTaperDelegate() = default;
    // The scale of the pattern copy at a distance along the path.
    virtual CGFloat taperFactorAtDistance(CGFloat distance, const Ref<NSBezierPath>& path, CGFloat length) = 0;
};

namespace NSBezierPathExt {

// --- Text along the path ---

// The layout manager of every call not given one (a container of
// 1,000,000 x 1,000,000 without padding), and the attributes of plain
// strings (Helvetica 12).
Ref<NSLayoutManager> textOnPathLayoutManager();
Ref<NSDictionary> textOnPathDefaultAttributes();
void setTextOnPathDefaultAttributes(const Ref<NSDictionary>& attributes);

// A y offset (the text's distance from the path) that is not finite counts
// as 0.
// Draws the text along the path in the current context, underlines first
// and strikethroughs last (only with the shared layout manager); YES when
// every glyph fitted. A nil layout manager means the shared one; a nil
// cache computes without storing.
bool drawTextOnPath(const Ref<NSBezierPath>& path, const Ref<NSAttributedString>& text, CGFloat yOffset,
                    const Ref<NSLayoutManager>& layoutManager = nullptr,
                    const Ref<NSMutableDictionary>& cache = nullptr);
// A plain string in the attributes (nil: the defaults), y offset 0.
bool drawStringOnPath(const Ref<NSBezierPath>& path, const Ref<NSString>& string,
                      const Ref<NSDictionary>& attributes = nullptr);
// One outline path per placed glyph, and all of them in one path.
Ref<NSArray> bezierPathsWithGlyphsOnPath(const Ref<NSBezierPath>& path, const Ref<NSAttributedString>& text,
                                         CGFloat yOffset);
Ref<NSBezierPath> bezierPathWithTextOnPath(const Ref<NSBezierPath>& path, const Ref<NSAttributedString>& text,
                                           CGFloat yOffset);
Ref<NSBezierPath> bezierPathWithStringOnPath(const Ref<NSBezierPath>& path, const Ref<NSString>& string,
                                             const Ref<NSDictionary>& attributes = nullptr);

// The placement engine: sends the helper (a TextOnPathPlacement, else
// NSInternalInconsistencyException) every glyph that fits; NO when one did
// not (it wrapped or ran past the end), and for a path of fewer than 2
// elements or an empty text. A cache holding placements replays them.
bool layoutStringOnPath(const Ref<NSBezierPath>& path, const Ref<NSTextStorage>& storage, CGFloat yOffset,
                        const Id& helper, const Ref<NSLayoutManager>& layoutManager,
                        const Ref<NSMutableDictionary>& cache);
// A new storage of the text laid out by the layout manager in a container
// as long as the path; justified text kerned to fit.
Ref<NSTextStorage> preadjustedTextStorageWithString(const Ref<NSBezierPath>& path, const Ref<NSAttributedString>& text,
                                                    const Ref<NSLayoutManager>& layoutManager);
// Kerns the text so that it spans the length; a text too long is tightened
// by at most 0.15 x its height per glyph. One glyph gets kern 0.
void kernText(const Ref<NSBezierPath>& path, const Ref<NSTextStorage>& storage, CGFloat length);

void drawUnderlinePathForLayoutManager(const Ref<NSBezierPath>& path, const Ref<NSLayoutManager>& layoutManager,
                                       CGFloat yOffset, const Ref<NSMutableDictionary>& cache);
void drawStrikethroughPathForLayoutManager(const Ref<NSBezierPath>& path, const Ref<NSLayoutManager>& layoutManager,
                                           CGFloat yOffset, const Ref<NSMutableDictionary>& cache);
void drawUnderlinePathForLayoutManager(const Ref<NSBezierPath>& path, const Ref<NSLayoutManager>& layoutManager,
                                       NSRange range, CGFloat yOffset, const Ref<NSMutableDictionary>& cache);
void drawStrikethroughPathForLayoutManager(const Ref<NSBezierPath>& path, const Ref<NSLayoutManager>& layoutManager,
                                           NSRange range, CGFloat yOffset, const Ref<NSMutableDictionary>& cache);
// Start and extent along the path of a character range (nothing unless
// both outputs are given).
void pathPosition(const Ref<NSBezierPath>& path, CGFloat* position, CGFloat* length,
                  const Ref<NSAttributedString>& text, NSRange range);
// Where an underline at the offset would cut the outlines of the range's
// glyphs: x positions relative to the run (plus 5 of padding), in entry-exit
// pairs; nil when it cuts none.
Ref<NSArray> descenderBreaksForString(const Ref<NSBezierPath>& path, const Ref<NSAttributedString>& text, NSRange range,
                                      CGFloat underlineOffset);
// The stroke path of one underline or strikethrough of the style mask along
// the stretch of the path, offset to its side and interrupted at the
// breaks; nil when the mask's low four bits choose no line.
Ref<NSBezierPath> textLinePathWithMask(const Ref<NSBezierPath>& path, NSInteger mask, CGFloat startPosition,
                                       CGFloat length, CGFloat offset, CGFloat lineThickness,
                                       const Ref<NSArray>& descenderBreaks, CGFloat grotThreshold);

// --- Objects along the path ---
// A factory that is not a ZAKPathObjectFactory (ZAKPathLinkFactory for
// links) raises NSInvalidArgumentException. A non-positive interval or link
// length, or a path of fewer than 2 elements or without a finite length,
// answers nil.

// Objects at 0, interval, 2 x interval... up to the length.
Ref<NSArray> placeObjectsOnPathAtInterval(const Ref<NSBezierPath>& path, CGFloat interval, const Id& factory,
                                          void* userInfo);
// The placed objects that are paths, appended into one; nil when none.
Ref<NSBezierPath> bezierPathWithObjectsOnPathAtInterval(const Ref<NSBezierPath>& path, CGFloat interval,
                                                        const Id& factory, void* userInfo);
// Copies of the pattern (drawn about its origin) at phase + k x interval,
// turned to the path's slope (alternate: odd copies turned round), scaled
// by the delegate's taper factor when it is a ZAKPathTaperDelegate. Empty
// (not nil) when the phase lies beyond the path.
Ref<NSBezierPath> bezierPathWithPath(const Ref<NSBezierPath>& path, const Ref<NSBezierPath>& pattern, CGFloat interval,
                                     CGFloat phase = 0, bool alternate = false, const Id& taperDelegate = nullptr);
// Straight links of exactly their own length, each starting where the one
// before ended and aimed at the path point reached by the lengths so far.
Ref<NSArray> placeLinksOnPathWithLinkLength(const Ref<NSBezierPath>& path, CGFloat length, const Id& factory,
                                            void* userInfo);
Ref<NSArray> placeLinksOnPathWithEvenLinkLength(const Ref<NSBezierPath>& path, CGFloat evenLength, CGFloat oddLength,
                                                const Id& factory, void* userInfo);

// --- Motion ---
// Moves the object (a ZAKPathMovedObject, else NSInvalidArgumentException;
// nil fails the assertion "can't move a nil object") along the path at
// speed units per second, 30 steps a second, also while the user tracks the
// mouse. Without loop it stops at the end; it always stops when the object
// answers NO. A speed that is not positive, a path of fewer than 2 elements
// or of no finite positive length starts nothing.
void moveObject(const Ref<NSBezierPath>& path, const Id& object, CGFloat speed, bool loop, const Id& userInfo);
// One step of a motion whose timer carries the motion record.
void motionCallback(const Ref<NSBezierPath>& path, const Ref<NSTimer>& timer);

// --- Text lines inside a shape ---
// Rectangles of the line height lying inside the shape, top band first,
// left to right. A line height that is not positive fails the assertion
// "lineheight must be positive and greater than 0".
Ref<NSArray> lineFragmentRectsForFixedLineheight(const Ref<NSBezierPath>& path, CGFloat lineHeight);
// The first stretch inside the shape, at or right of the proposed
// rectangle's x, of a line at datumOffset (-0.5 bottom, 0 middle, 0.5 top)
// of it; remaining gets the proposed rectangle from the stretch's end. The
// zero rectangle (and zero remaining) when there is none.
NSRect lineFragmentRectForProposedRect(const Ref<NSBezierPath>& path, const NSRect& proposed, NSRect* remaining,
                                       CGFloat datumOffset = 0);
// The crossings (point values, by x, in entry-exit pairs) of the flattened
// path with the horizontal line at y within the bounds; nil when there are
// none or y lies outside the bounds.
Ref<NSArray> intersectingPointsWithHorizontalLineAtY(const Ref<NSBezierPath>& path, CGFloat y);

}

namespace NSFontExt {
// The mean of Helvetica's and Times's underline position (thickness) at the
// font's size.
CGFloat valueForInvalidUnderlinePosition(const Ref<NSFont>& font);
CGFloat valueForInvalidUnderlineThickness(const Ref<NSFont>& font);
}
