#pragma once

#include "FrameKit/FileUtil.h"
#include "FrameKit/PackageFormat.h"

// Works out which files go into a package and under which names: the layout
// scripts and every file they reference, sorted into the member groups.
class PZAVPackAnalize
{
public:
    PZAVPackAnalize() = default;
    virtual ~PZAVPackAnalize() = default;

    int AnalyseLayouts(int count, const ZAVPath* layouts, const char* package);
    int AnalyseIndex(const char* index, const char* package);
    int AnalyseLayout(const char* layout);
    // name is the CP932 member name; null takes the host file name.
    int AddFile(int group, const char* path, const char* name = nullptr);
    int GetCount(int group) const;
    int GetFile(int group, int index, char* out, std::size_t outSize = kZavPathSize) const;
    void Clear();
    const PackageGroups& Groups() const { return m_groups; }

private:
    int AnalyseIndexBody(const char* index);
    int AddReferenced(int group, const char* resolved, const char* written);

    PackageGroups m_groups;
};

// Writes the package from what the analysis collected.
int WritePackage(const PZAVPackAnalize& analysis, const char* package);
