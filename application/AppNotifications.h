#pragma once
// The names of the notifications the program's own classes post and observe,
// in the form the platform's names take; call sites use these, never the text.
inline constexpr char SetActivedNotification[] = "SetActived";        // another guideline set became current
inline constexpr char NewTransValueNotification[] = "NewTransValue";  // the overlays' transparency changed
inline constexpr char GuideColorHasChangedNotification[] = "GuideColorHasChanged";
inline constexpr char ScreenColorHasChangedNotification[] = "ScreenColorHasChanged";
inline constexpr char GuidelineControllerHasChangedNotification[] = "GuidelineControllerHasChanged";
inline constexpr char HotKeyHasChangedNotification[] = "HotKeyHasChanged";  // the stored hot key changed
