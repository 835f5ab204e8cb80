#pragma once

#include <memory>
#include <string>

class ZAV_SDK;
class ZAVLayoutSearch;
class ZAVLayoutDetail;
class LocationChange;
class DrawAssist;

// The working set of one layout reader: its search, its opened layout, the
// conversion of that layout, and the reader's current layout folder.
class ZAVDocuments
{
public:
    explicit ZAVDocuments(ZAV_SDK* owner);
    virtual ~ZAVDocuments();
    ZAVDocuments(const ZAVDocuments&) = delete;
    ZAVDocuments& operator=(const ZAVDocuments&) = delete;

    ZAVLayoutSearch* GetSearch() const { return m_search.get(); }
    ZAVLayoutDetail* GetDetail() const { return m_detail.get(); }
    LocationChange* GetLocationChange() const { return m_location.get(); }
    void SetLocationChange(std::unique_ptr<LocationChange> location);
    DrawAssist* GetDrawAssist() const { return m_draw.get(); }
    ZAV_SDK* GetOwner() const { return m_owner; }

    // Host folder that relative references of the layout being read join to.
    std::string& CurrentLayoutFolder() { return m_currentFolder; }

private:
    ZAV_SDK* m_owner;
    std::unique_ptr<ZAVLayoutSearch> m_search;
    std::unique_ptr<ZAVLayoutDetail> m_detail;
    std::unique_ptr<LocationChange> m_location;
    std::unique_ptr<DrawAssist> m_draw;
    std::string m_currentFolder;
};
