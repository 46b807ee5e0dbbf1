#include "AppKit/NSSecureTextField.h"

#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(NSSecureTextFieldCell)
NS_CLASS_DEFINE(NSSecureTextField)
