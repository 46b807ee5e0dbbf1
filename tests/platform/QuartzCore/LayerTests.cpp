#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>

#include "CoreGraphics/CGCairoContext.h"
#include "Foundation/Clock.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"
#include "QuartzCore/CABasicAnimation.h"
#include "QuartzCore/CAFrameClock.h"
#include "QuartzCore/CALayer.h"
#include "QuartzCore/CARenderer.h"

namespace {

bool near(const CATransform3D& a, const CATransform3D& b, double eps = 1e-9)
{
    const double* x = &a.m11;
    const double* y = &b.m11;
    for (int i = 0; i < 16; ++i)
        if (std::fabs(x[i] - y[i]) > eps) return false;
    return true;
}

Ref<CGImage> filled(size_t w, size_t h, uint32_t argb)
{
    auto image = CGImage::create(w, h);
    auto* data = reinterpret_cast<uint32_t*>(image->data());
    const size_t stride = size_t(cairo_image_surface_get_stride(image->surface())) / 4;
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x) data[y * stride + x] = argb;
    image->markDirty();
    return image;
}

// y up in layer space onto a y-down image of the given height.
CATransform3D flipY(double height)
{
    CATransform3D t = CATransform3DMakeScale(1, -1, 1);
    t.m42 = height;
    return t;
}

class RecordingDelegate : public NSObject, public CAAnimationDelegate {
    NS_OBJECT(RecordingDelegate, NSObject)
protected:
    RecordingDelegate() = default;

public:
    std::vector<bool> stops;
    int starts = 0;
    void animationDidStart(CAAnimation*) override { ++starts; }
    void animationDidStop(CAAnimation*, bool finished) override { stops.push_back(finished); }
};
NS_CLASS_DEFINE(RecordingDelegate)

}

TEST(Transform3D, RotationsFollowTheRowVectorConventionAndConcatenateInOrder)
{
    const CATransform3D quarter = CATransform3DMakeRotation(M_PI / 2, 0, 1, 0);
    // About +y: x' = x cos a + z sin a, z' = -x sin a + z cos a.
    const struct {
        double x, y, z, ex, ey, ez;
    } cases[] = {{1, 0, 0, 0, 0, -1}, {0, 0, 1, 1, 0, 0}, {0, 2, 0, 0, 2, 0}};
    for (const auto& c : cases) {
        const double x = c.x * quarter.m11 + c.y * quarter.m21 + c.z * quarter.m31;
        const double y = c.x * quarter.m12 + c.y * quarter.m22 + c.z * quarter.m32;
        const double z = c.x * quarter.m13 + c.y * quarter.m23 + c.z * quarter.m33;
        EXPECT_NEAR(x, c.ex, 1e-12);
        EXPECT_NEAR(y, c.ey, 1e-12);
        EXPECT_NEAR(z, c.ez, 1e-12);
    }
    EXPECT_TRUE(near(CATransform3DConcat(quarter, quarter), CATransform3DMakeRotation(M_PI, 0, 1, 0)));
    EXPECT_TRUE(CATransform3DIsIdentity(CATransform3DMakeRotation(1, 0, 0, 0)));
    // Translate then scale differs from scale then translate.
    const auto ts = CATransform3DConcat(CATransform3DMakeTranslation(10, 0, 0), CATransform3DMakeScale(2, 2, 2));
    EXPECT_EQ(CATransform3DProjectPoint(ts, 1, 0).x, 22);
    EXPECT_TRUE(near(CATransform3DConcat(ts, CATransform3DInvert(ts)), CATransform3DIdentity));
    // Perspective: a point turned towards the eye grows.
    CATransform3D perspective;
    perspective.m34 = -1.0 / 850;
    const auto turned = CATransform3DConcat(CATransform3DMakeRotation(-M_PI / 4, 0, 1, 0), perspective);
    const auto p = CATransform3DProjectPoint(turned, 100, 100);
    EXPECT_GT(p.w, 0);
    EXPECT_GT(std::fabs(p.y), 100);
}

TEST(Transform3D, TheFlipTurnsForwardThroughHalfTurns)
{
    CATransform3D perspective;
    perspective.m34 = -1.0 / 850;
    const auto rotation = [&](double a) {
        return CATransform3DConcat(CATransform3DMakeRotation(a, 0, 1, 0), perspective);
    };
    const auto halfway = CATransform3DInterpolate(CATransform3DIdentity, rotation(M_PI), 0.5);
    EXPECT_NEAR(halfway.m11, 0, 1e-9);  // edge-on at the quarter turn
    EXPECT_NEAR(halfway.m34, 0, 1e-9);
    // From a half turn to a whole one passes three quarters, not one quarter.
    const auto later = CATransform3DInterpolate(CATransform3DMakeRotation(M_PI, 0, 1, 0), rotation(2 * M_PI), 0.5);
    EXPECT_NEAR(later.m11, 0, 1e-9);
    EXPECT_NEAR(later.m13, 1, 1e-9);  // -sin(3/2 pi); a quarter turn would give -1
    // Other transforms go element by element.
    const auto moved = CATransform3DInterpolate(CATransform3DIdentity, CATransform3DMakeTranslation(10, 0, 0), 0.25);
    EXPECT_DOUBLE_EQ(moved.m41, 2.5);
}

TEST(MediaTimingFunction, EaseInEaseOutIsSymmetricAndSlowAtTheEnds)
{
    auto f = CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut);
    float c1[2], c2[2];
    f->getControlPointAtIndex(1, c1);
    f->getControlPointAtIndex(2, c2);
    EXPECT_FLOAT_EQ(c1[0], 0.42f);
    EXPECT_FLOAT_EQ(c2[0], 0.58f);
    EXPECT_EQ(f->valueAtFraction(0), 0);
    EXPECT_NEAR(f->valueAtFraction(1), 1, 1e-12);
    // The control points are single precision, so the symmetry is too.
    EXPECT_NEAR(f->valueAtFraction(0.5), 0.5, 1e-6);
    EXPECT_LT(f->valueAtFraction(0.1), 0.1);
    EXPECT_NEAR(f->valueAtFraction(0.3) + f->valueAtFraction(0.7), 1, 1e-6);
}

TEST(Layer, AnimationsRunOnTheFrameClockAndTellTheirDelegate)
{
    Clock::useVirtualClock();
    auto layer = CALayer::layer();
    layer->setBounds(CGRectMake(0, 0, 100, 100));
    int redraws = 0;
    layer->setHostRedrawHandler([&] { ++redraws; });
    auto delegate = NSObject::make<RecordingDelegate>();
    auto turn = CABasicAnimation::animationWithKeyPath("transform"_ns);
    turn->setFromValue(CATransform3DIdentity);
    turn->setToValue(CATransform3DMakeRotation(M_PI, 0, 1, 0));
    turn->setDuration(1);
    turn->setRemovedOnCompletion(false);
    turn->setDelegate(delegate);
    layer->setTransform(CATransform3DMakeRotation(M_PI, 0, 1, 0));
    const NSTimeInterval start = Clock::now();
    layer->addAnimation(turn, "transform"_ns);
    EXPECT_EQ(delegate->starts, 1);
    auto added = layer->animationForKey("transform"_ns);
    ASSERT_TRUE(added);
    EXPECT_NE(added, Ref<CAAnimation>(turn));  // a copy
    EXPECT_EQ(added->beginTime(), start);
    EXPECT_NEAR(layer->presentationTransform(start + 0.5).m11, 0, 1e-9);

    const uint64_t framesBefore = CAFrameClock::frameCount();
    for (int i = 0; i < 70; ++i) {
        Clock::advance(1.0 / 60);
        NSRunLoop::currentRunLoop()->runUntilIdle();
    }
    EXPECT_GE(CAFrameClock::frameCount() - framesBefore, 59u);
    EXPECT_GE(redraws, 59);
    EXPECT_EQ(delegate->stops, std::vector<bool>{true});
    // Kept (not removed on completion), but showing the model value again.
    EXPECT_TRUE(layer->animationForKey("transform"_ns));
    EXPECT_TRUE(near(layer->presentationTransform(Clock::now()), layer->transform()));

    // Removing a running animation stops it unfinished.
    layer->addAnimation(turn, "spin"_ns);
    layer->removeAnimationForKey("spin"_ns);
    EXPECT_EQ(delegate->stops, (std::vector<bool>{true, false}));
}

TEST(Renderer, ContentsAreWarpedIntoTheProjectedQuadAndBacksAreCulled)
{
    auto target = filled(300, 200, 0);
    auto layer = CALayer::layer();
    layer->setFrame(CGRectMake(0, 0, 300, 200));
    layer->setContents(filled(100, 100, 0xffff0000));
    layer->setContentsGravity(kCAGravityCenter);
    layer->setDoubleSided(false);
    const CGRect all = CGRectMake(0, 0, 300, 200);
    CARenderer::render(layer, target, flipY(200), 0, all);
    EXPECT_EQ(target->pixel(150, 100), 0xffff0000u);  // centred
    EXPECT_EQ(target->pixel(101, 51), 0xffff0000u);
    EXPECT_EQ(target->pixel(98, 100), 0u);
    EXPECT_EQ(target->pixel(150, 48), 0u);

    // Turned 60 degrees with perspective: narrower, the near edge taller.
    CATransform3D perspective;
    perspective.m34 = -1.0 / 850;
    layer->setTransform(CATransform3DConcat(CATransform3DMakeRotation(M_PI / 3, 0, 1, 0), perspective));
    target = filled(300, 200, 0);
    CARenderer::render(layer, target, flipY(200), 0, all);
    EXPECT_EQ(target->pixel(150, 100), 0xffff0000u);
    EXPECT_EQ(target->pixel(110, 100), 0u);  // half as wide
    EXPECT_EQ(target->pixel(190, 100), 0u);
    int leftColumn = 0, rightColumn = 0;
    for (size_t row = 0; row < 200; ++row) {
        leftColumn += target->pixel(128, row) == 0xffff0000u;
        rightColumn += target->pixel(172, row) == 0xffff0000u;
    }
    EXPECT_NE(leftColumn, rightColumn);

    // Facing away: single-sided layers are not drawn, double-sided ones are.
    layer->setTransform(CATransform3DConcat(CATransform3DMakeRotation(M_PI * 0.9, 0, 1, 0), perspective));
    target = filled(300, 200, 0);
    CARenderer::render(layer, target, flipY(200), 0, all);
    EXPECT_EQ(target->pixel(150, 100), 0u);
    layer->setDoubleSided(true);
    CARenderer::render(layer, target, flipY(200), 0, all);
    EXPECT_EQ(target->pixel(150, 100), 0xffff0000u);
}

TEST(Renderer, AShadowFallsBlurredAndOffsetAtItsOpacity)
{
    auto layer = CALayer::layer();
    layer->setFrame(CGRectMake(0, 0, 300, 300));
    layer->setContents(filled(100, 100, 0xffffffff));
    layer->setContentsGravity(kCAGravityCenter);
    const CGRect all = CGRectMake(0, 0, 300, 300);
    auto plain = filled(300, 300, 0);
    CARenderer::render(layer, plain, flipY(300), 0, all);
    EXPECT_EQ(plain->pixel(150, 210), 0u);

    layer->setShadowColor(CGColor::createGenericRGB(0, 0, 0, 1));
    layer->setShadowRadius(14);
    layer->setShadowOffset(CGSizeMake(0, -22.5));
    layer->setShadowOpacity(0.4f);
    auto shadowed = filled(300, 300, 0);
    CARenderer::render(layer, shadowed, flipY(300), 0, all);
    EXPECT_EQ(shadowed->pixel(150, 150), 0xffffffffu);  // the picture on top
    // The picture spans rows 100 to 199; its shadow is 22.5 lower.
    const uint32_t below = shadowed->pixel(150, 210);
    EXPECT_GT(below >> 24, 10u);
    EXPECT_LE(below >> 24, 103u);                            // at most 0.4
    EXPECT_EQ(below & 0xffffff, 0u);                         // black
    EXPECT_LT(shadowed->pixel(150, 92) >> 24, below >> 24);  // less above: offset down
}
