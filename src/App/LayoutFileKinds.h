// The readers and writers of the four layout file kinds, as the document's
// open and save dispatch reach them. Readers return 1 loaded, 0 failed, -1 a
// kind this installation does not edit; writers return 0 or a failure code
// (2: the layout does not fit the kind). Integer checks may be thrown.
#pragma once

#include <string>

class CZAVEditorDoc;

class ILayoutFileKinds
{
public:
    virtual ~ILayoutFileKinds() = default;
    virtual int LoadZvdDocument(CZAVEditorDoc& document, const std::string& path) = 0;
    virtual int LoadUsdLayout(CZAVEditorDoc& document, const std::string& path) = 0;
    virtual int LoadFdpLayout(CZAVEditorDoc& document, const std::string& path) = 0;
    virtual int LoadUsmLayout(CZAVEditorDoc& document, const std::string& path) = 0;
    virtual int SaveZvdDocument(CZAVEditorDoc& document, const std::string& path) = 0;
    virtual int SaveUsdLayout(CZAVEditorDoc& document, const std::string& path, int printHandOver) = 0;
    virtual int SaveFdpLayout(CZAVEditorDoc& document, const std::string& path) = 0;
    virtual int SaveUsmLayout(CZAVEditorDoc& document, const std::string& path) = 0;
    // Before `path` is opened: completes or undoes a save of it that was cut
    // off and clears that save's leftovers. Kinds that stage nothing have
    // nothing to recover.
    virtual void RecoverInterruptedSave(const std::string& /*path*/) {}
};
