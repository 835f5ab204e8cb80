// The readers and writers of the layout file kinds as the document reaches
// them: the editor document and the layout script with their companion
// folders, packaged frame files through the frame-file kit, and camera layout
// sets and the camera packages built on them.
#pragma once

#include "App/LayoutFileKinds.h"
#include "App/PackageKit.h"

class ISaveFileSystem;

class DocumentFileKinds : public ILayoutFileKinds
{
public:
    // The frame-file kit and the system's folder steps.
    DocumentFileKinds();
    DocumentFileKinds(PackageKitFactory kits, ISaveFileSystem& files);

    int LoadZvdDocument(CZAVEditorDoc& document, const std::string& path) override;
    int LoadUsdLayout(CZAVEditorDoc& document, const std::string& path) override;
    int LoadFdpLayout(CZAVEditorDoc& document, const std::string& path) override;
    int LoadUsmLayout(CZAVEditorDoc& document, const std::string& path) override;
    int SaveZvdDocument(CZAVEditorDoc& document, const std::string& path) override;
    int SaveUsdLayout(CZAVEditorDoc& document, const std::string& path, int printHandOver) override;
    int SaveFdpLayout(CZAVEditorDoc& document, const std::string& path) override;
    int SaveUsmLayout(CZAVEditorDoc& document, const std::string& path) override;
    void RecoverInterruptedSave(const std::string& path) override;

private:
    PackageKitFactory m_kits;
    ISaveFileSystem& m_files;
};
