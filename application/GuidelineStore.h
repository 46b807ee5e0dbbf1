#pragma once
// The process-wide list of guideline sets, one of them current, kept in the
// user defaults between launches ("GuidelineSets", "CurrentGuidelineSet").
#include "Foundation/NSData.h"
#include "GuidelineSet.h"

class GuidelineStore : public NSObject {
    NS_OBJECT(GuidelineStore, NSObject)
protected:
    GuidelineStore() = default;

public:
    static Ref<GuidelineStore> getSharedGuidelineStore();
    // A second init answers the existing store.
    Id init() override;

    void setDefaultData();
    Ref<NSData> guidelineSetsAsNSData() const;
    // Reads the stored sets; unreadable data gives the default list (its bytes
    // are kept in a file beside the defaults) and an index outside the list
    // gives 0, both logged.
    void loadDataFromPrefs();
    void saveDataToPrefs() const;

    int32_t nsets() const { return static_cast<int32_t>(m_sets->count()); }
    Ref<NSMutableArray> getSetArray() const { return m_sets; }
    Ref<NSEnumerator> getSetsEnumerator() const { return m_sets->objectEnumerator(); }
    Ref<GuidelineSet> getSetAtIndex(int32_t index) const;
    Ref<GuidelineSet> getCurrentSet() const { return getSetAtIndex(m_idxCSet); }
    int32_t currentSetIndex() const { return m_idxCSet; }

    void activedSet(const Ref<GuidelineSet>& set);
    void addGuidelineSet(const Ref<GuidelineSet>& set);
    // The last set is never removed.
    void removeGuidelineSet(const Ref<GuidelineSet>& set);

    // Decodes an archive of sets; nil when the data is not one.
    static Ref<NSMutableArray> setsFromData(const Ref<NSData>& data, std::string* problem = nullptr);
    // Forgets the process-wide store (tests run the program more than once).
    static void resetShared();

private:
    void keepDamagedData(const Id& stored) const;

    Ref<NSMutableArray> m_sets;
    int32_t m_idxCSet = 0;
};
