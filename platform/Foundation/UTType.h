#pragma once
// Uniform type identifiers: a table of the layer's own content types with
// their conformance (a type conforms to itself and to everything its
// parents conform to) and their file-name extensions. Identifiers compare
// without regard to case, as the platform's do. An extension the table does
// not know gets a dynamic identifier ("dyn." ...), which conforms to
// public.data and public.item only.
#include "Foundation/NSString.h"

bool UTTypeEqual(const Ref<NSString>& a, const Ref<NSString>& b);
// Whether `type` is `conformsTo` or conforms to it through the table; false
// when either is nil.
bool UTTypeConformsTo(const Ref<NSString>& type, const Ref<NSString>& conformsTo);

// The tag class of file-name extensions ("public.filename-extension").
Ref<NSString> kUTTagClassFilenameExtension();
// The type for a tag: for an extension (any case, without the dot), the
// first type in the table with that extension that conforms to
// `conformingTo` (when given), else a dynamic identifier. nil for an empty
// tag or another tag class.
Ref<NSString> UTTypeCreatePreferredIdentifierForTag(const Ref<NSString>& tagClass, const Ref<NSString>& tag,
                                                    const Ref<NSString>& conformingTo);

// Types the system's code names.
Ref<NSString> kUTTypeItem();
Ref<NSString> kUTTypeContent();
Ref<NSString> kUTTypeData();
Ref<NSString> kUTTypeDirectory();
Ref<NSString> kUTTypeFolder();
Ref<NSString> kUTTypeText();
Ref<NSString> kUTTypePlainText();
Ref<NSString> kUTTypeImage();
Ref<NSString> kUTTypePNG();
Ref<NSString> kUTTypeJPEG();
Ref<NSString> kUTTypeTIFF();
Ref<NSString> kUTTypePDF();
Ref<NSString> kUTTypeAudiovisualContent();
Ref<NSString> kUTTypeMovie();
Ref<NSString> kUTTypeAudio();
Ref<NSString> kUTTypeApplicationBundle();
