#pragma once
// The process-wide keeper of the text encodings the user lists in encoding
// menus: the list lives in the user defaults under "Encodings" (numbers, in
// menu order; the default list while none is stored), fills the encoding
// pop-ups, and is edited in a panel of check boxes
// ("ZAKSelectEncodingsPanel"). Every change made there is stored at once and
// announced as "EncodingsListChanged" (no object).
//
// The class operations convert between string encodings and IANA names and
// judge the encoding of files and data.
#include <vector>

#include "AppKit/NSMatrix.h"
#include "AppKit/NSPopUpButton.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSData.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

// Marks the absence of an encoding: items that are no encoding, and a
// pop-up with no encoding to show.
inline constexpr NSStringEncoding ZAKNoStringEncoding = 0xFFFFFFFFu;

Ref<NSString> ZAKEncodingsListChangedNotification();

class ZAKEncodingManager : public NSObject {
    NS_OBJECT(ZAKEncodingManager, NSObject)
protected:
    ZAKEncodingManager();

public:
    ~ZAKEncodingManager() override;

    static Ref<ZAKEncodingManager> sharedInstance();
    // Every available encoding with a name, sorted by script (the most
    // compatible Mac encoding), Unicode first; made once per process.
    static const std::vector<NSStringEncoding>& allAvailableStringEncodings();
    // 0 for nil or an unknown name; the case of the name does not matter.
    static NSStringEncoding stringEncodingForMIMEEncoding(const Ref<NSString>& name);
    // nil when the encoding has no IANA name.
    static Ref<NSString> MIMEEncodingForStringEncoding(NSStringEncoding encoding);
    // The document encoding of the file's first 1,000,000 bytes; UTF-8 when
    // the file cannot be read or is empty.
    static NSStringEncoding encodingForFile(const Ref<NSString>& path);
    // Logs the candidates of ICU's charset detection ("encoding: <name>"
    // each, then "result: <names>") and answers UTF-8, whatever they are.
    static NSStringEncoding autoDetectedStringEncodingOfData(const Ref<NSData>& data);

    // A second instance is never made: init answers the shared one.
    Id init() override;

    // The enabled encodings (numbers): the stored list, else the default one.
    Ref<NSArray> enabledEncodings();
    // Fills the pop-up with the enabled encodings (and the one to select when
    // it is missing and there is no "Automatic" item), a separator and the
    // customising item; the pop-up must answer setHasDefaultEntry:.
    void setupPopUp(const Ref<NSPopUpButton>& popUp, NSStringEncoding selectedEncoding, bool withDefaultEntry);
    // Fills the panel's matrix with every available encoding.
    void setupEncodingsList();
    void noteEncodingListChange(bool writeDefaults, bool updateList, bool postNotification);

    // Actions.
    void showPanel(const Id& sender);
    void encodingListChanged(const Id& sender);
    void clearAll(const Id& sender);
    void selectAll(const Id& sender);
    void revertToDefault(const Id& sender);
    // The panel's actions reach the manager while a modal window runs.
    bool worksWhenModal() const { return true; }

    Ref<NSMatrix> encodingMatrix() const { return m_encodingMatrix; }
    void setEncodingMatrix(const Ref<NSMatrix>& matrix) { m_encodingMatrix = matrix; }
    static void describeClass(NSClassMembers<ZAKEncodingManager>& m);

private:
    static Ref<NSMutableArray> defaultEncodings();
    static Ref<NSString> localized(const char* key);

    Ref<NSMatrix> m_encodingMatrix;
    Ref<NSMutableArray> m_encodings;
    Ref<NSArray> m_panelObjects;
    bool m_panelLoaded = false;
};
