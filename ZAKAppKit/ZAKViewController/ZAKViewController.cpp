#include "ZAKAppKit/ZAKViewController/ZAKViewController.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(ZAKViewController)

void ZAKViewController::loadView()
{
    viewWillLoad();
    NSViewController::loadView();
    sendViewDidLoad();
}
