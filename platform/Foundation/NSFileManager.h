#pragma once
// File-system operations. Failures answer false or nil and, where the caller
// passes an error pointer, an NSError in NSPOSIXErrorDomain (the errno value
// as code) whose description names the operation, the path and the reason.
// Listings are sorted by name, so every caller sees one order.
#include "Foundation/NSArray.h"
#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSError.h"
#include "Foundation/NSString.h"

class NSDirectoryEnumerator;

// Attribute keys and the file types NSFileType answers.
Ref<NSString> NSFileType();
Ref<NSString> NSFileSize();
Ref<NSString> NSFileModificationDate();
Ref<NSString> NSFilePosixPermissions();
Ref<NSString> NSFileReferenceCount();
Ref<NSString> NSFileOwnerAccountID();
Ref<NSString> NSFileGroupOwnerAccountID();
Ref<NSString> NSFileTypeDirectory();
Ref<NSString> NSFileTypeRegular();
Ref<NSString> NSFileTypeSymbolicLink();
Ref<NSString> NSFileTypeSocket();
Ref<NSString> NSFileTypeCharacterSpecial();
Ref<NSString> NSFileTypeBlockSpecial();
Ref<NSString> NSFileTypeUnknown();

class NSFileManager : public NSObject {
    NS_OBJECT(NSFileManager, NSObject)
protected:
    NSFileManager() = default;

public:
    static Ref<NSFileManager> defaultManager();

    // Symbolic links are followed.
    bool fileExistsAtPath(const Ref<NSString>& path) const;
    bool fileExistsAtPath(const Ref<NSString>& path, bool* isDirectory) const;
    bool isReadableFileAtPath(const Ref<NSString>& path) const;
    bool isWritableFileAtPath(const Ref<NSString>& path) const;

    // With intermediates, an existing folder is success. Honours
    // NSFilePosixPermissions in the attributes.
    bool createDirectoryAtPath(const Ref<NSString>& path, bool withIntermediateDirectories,
                               const Ref<NSDictionary>& attributes, Ref<NSError>* error) const;
    // Writes the contents (nil: an empty file) atomically, replacing a file
    // already there.
    bool createFileAtPath(const Ref<NSString>& path, const Ref<NSData>& contents,
                          const Ref<NSDictionary>& attributes) const;
    Ref<NSData> contentsAtPath(const Ref<NSString>& path) const;
    // Removes a file, a link (not its target) or a folder with its contents.
    bool removeItemAtPath(const Ref<NSString>& path, Ref<NSError>* error) const;
    // Fails when something exists at the destination.
    bool moveItemAtPath(const Ref<NSString>& source, const Ref<NSString>& destination, Ref<NSError>* error) const;
    bool copyItemAtPath(const Ref<NSString>& source, const Ref<NSString>& destination, Ref<NSError>* error) const;

    // The names in the folder, sorted.
    Ref<NSArray> contentsOfDirectoryAtPath(const Ref<NSString>& path, Ref<NSError>* error) const;
    // Every entry below the folder, named by its path relative to it, sorted
    // by name and depth first (a folder comes just before its contents).
    // Links to folders are listed but not entered. nil when not a folder.
    Ref<NSDirectoryEnumerator> enumeratorAtPath(const Ref<NSString>& path) const;
    // Follows links. NSFileType, NSFileSize, NSFileModificationDate (an
    // NSDate), NSFilePosixPermissions, NSFileReferenceCount and the owner IDs.
    Ref<NSDictionary> attributesOfItemAtPath(const Ref<NSString>& path, Ref<NSError>* error) const;

    // The name to show for the item: its last path component.
    Ref<NSString> displayNameAtPath(const Ref<NSString>& path) const;
    Ref<NSString> currentDirectoryPath() const;
};
