#include "UtilFilter.h"

#include "FilterRegistry.h"
#include "UCFilter.h"

#include <algorithm>
#include <cstring>
#include <new>

UtilFilter::UtilFilter(const ImageDescriptor* source, const ImageDescriptor* destination, int32_t filterId,
                       int32_t parameterSize, const void* parameters)
{
    m_context.reset(new (std::nothrow) FilterContext);
    if (!m_context) {
        m_lastResult = UCF_ERR_NOMEMORY;
        return;
    }
    FilterContext& c = *m_context;
    c.filterId = filterId;
    c.filter = CreateRegisteredFilter(filterId);
    if (!c.filter) {
        m_lastResult = UCF_ERR_NOFILTER;
        return;
    }
    c.registryFlags = GetRegisteredFlags(filterId);
    c.hasAnalysis = (c.registryFlags & UCF_FLAG_ANALYSIS) != 0;
    c.stripsAllowed = (c.registryFlags & UCF_FLAG_NOSTRIPS) == 0;
    c.parametersHandedOver = (c.registryFlags & UCF_FLAG_PARAMETERS) != 0;
    c.clientStripsOffered = (c.registryFlags & UCF_FLAG_NOCLIENTSTRIPS) == 0;
    c.destinationRequired = (c.registryFlags & UCF_FLAG_NEEDDESTINATION) != 0;
    c.filter->SetOwner(this);

    if (!source) {
        m_lastResult = UCF_ERR_NODESCRIPTOR;
        return;
    }
    if (int32_t rc = SetSourceDescriptor(source)) {
        m_lastResult = rc;
        return;
    }
    if (int32_t rc = SetDestinationDescriptor(destination)) {
        m_lastResult = rc;
        return;
    }
    c.parameterSize = parameterSize;
    if (parameterSize >= 1) {
        c.parameters.reset(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(parameterSize))));
        if (!c.parameters) {
            m_lastResult = UCF_ERR_NOMEMORY;
            return;
        }
        if (parameters)
            std::memcpy(c.parameters.get(), parameters, static_cast<size_t>(parameterSize));
        else
            std::memset(c.parameters.get(), 0, static_cast<size_t>(parameterSize));
    }
    c.workingSource = *c.source;
    if (c.destination)
        c.workingDestination = *c.destination;

    const bool handOver = c.parametersHandedOver;
    int32_t rc = c.filter->GetInfo(source, handOver ? parameterSize : 0,
                                   handOver ? c.parameters.get() : nullptr, &c.info);
    if (rc == UCF_OK)
        rc = c.filter->Command(1, nullptr);
    m_lastResult = rc;
}

UtilFilter::~UtilFilter()
{
    if (!m_context)
        return;
    if (m_context->filter) {
        m_context->filter->Command(15, nullptr);
        m_context->filter.reset();
    }
    FreeResources();
}

void UtilFilter::SetClientData(void* data)
{
    if (m_context)
        m_context->clientData = data;
}

int32_t UtilFilter::Fail(int32_t code)
{
    if (code != UCF_OK)
        m_lastResult = code;
    return code;
}

int32_t UtilFilter::SendCommand(int32_t number, void* argument)
{
    return m_context->filter->Command(number, argument);
}

int32_t UtilFilter::GetAnalysisResult(void* resultBlock)
{
    if (!m_context || !m_context->filter)
        return Fail(UCF_ERR_NOFILTER);
    return Fail(SendCommand(13, resultBlock));
}

int32_t UtilFilter::QueryAnalysisResult(void* resultBlock)
{
    return GetAnalysisResult(resultBlock);
}

int32_t UtilFilter::SetAnalysisResult(void* resultBlock)
{
    if (!m_context || !m_context->filter)
        return Fail(UCF_ERR_NOFILTER);
    return Fail(SendCommand(12, resultBlock));
}

int32_t UtilFilter::StoreAnalysisResult(void* resultBlock)
{
    return SetAnalysisResult(resultBlock);
}

int32_t UtilFilter::SetSecondImage(int32_t size, ImageDescriptor* descriptor)
{
    if (!m_context || !m_context->filter)
        return Fail(UCF_ERR_NOFILTER);
    m_context->secondImageSize = size;
    m_context->secondImage = descriptor;
    struct
    {
        int64_t size;
        ImageDescriptor* descriptor;
    } pair{size, descriptor};
    return Fail(SendCommand(6, &pair));
}

int32_t UtilFilter::ClampStripLines(int32_t lines)
{
    if (!m_context || !m_context->stripsAllowed)
        return -1;
    return std::min(lines, m_context->source->regionHeight);
}

int32_t UtilFilter::CheckRun(FilterCallback callback, int32_t mode, int32_t lines, bool stepped)
{
    if (!m_context)
        return UCF_ERR_NOCONTEXT;
    FilterContext& c = *m_context;
    if (!c.filter || !c.source)
        return UCF_ERR_NOFILTER;
    if (stepped) {
        if (!callback || lines < 0)
            return UCF_ERR_BADPARAM;
    } else if (mode & 16) {
        if (!callback || lines < 1)
            return UCF_ERR_BADPARAM;
        if (!c.stripsAllowed && !c.clientStripsOffered)
            return UCF_ERR_UNSUPPORTED;
    } else {
        if (lines < 0)
            return UCF_ERR_BADPARAM;
        if (lines > 0 && !c.stripsAllowed)
            return UCF_ERR_LINES;
        if (c.destinationRequired && !c.destination)
            return UCF_ERR_GEOMETRY;
    }
    if ((c.source->format & c.info.formatMask) == 0 ||
        (c.source->format & UCF_FORMATS_ALL) != c.source->format)
        return UCF_ERR_FORMAT;
    return UCF_OK;
}

// In client-strip mode the client supplies the buffer that receives each strip.
int32_t UtilFilter::PrepareDestination()
{
    FilterContext& c = *m_context;
    if (!c.clientStrips)
        return UCF_OK;
    if (!c.destination) {
        c.destination.reset(new (std::nothrow) ImageDescriptor(*c.source));
        if (!c.destination)
            return UCF_ERR_NOMEMORY;
        c.destination->height = c.stripLines;
        c.destination->regionHeight = c.stripLines;
        c.destination->pixels = nullptr;
        c.workingDestination = *c.destination;
        if (Notify(FE_NEED_OUTPUT) != 0)
            return UCF_ERR_OUTPUT;
        *c.destination = c.workingDestination;
        if (!c.destination->pixels)
            return UCF_ERR_GEOMETRY;
    } else {
        if (c.destination->regionHeight < c.stripLines)
            return UCF_ERR_STRIP;
        if (!c.destination->pixels)
            return UCF_ERR_BADPARAM;
    }
    return UCF_OK;
}

void UtilFilter::SetRunMode(int32_t mode)
{
    FilterContext& c = *m_context;
    c.runMode = mode & 15;
    c.clientStrips = (mode & 16) ? 1 : 0;
    c.overlap = c.stripsAllowed ? c.info.overlap : -1;
}

int32_t UtilFilter::StartRun(FilterCallback callback)
{
    FilterContext& c = *m_context;
    c.callback = callback; // the client may be asked for its output buffer
    if (int32_t rc = PrepareDestination())
        return rc;
    c.sourceHeight = c.source->regionHeight;
    c.sourceWidth = c.source->regionWidth;
    return UCF_OK;
}

int32_t UtilFilter::Execute(FilterCallback callback, int32_t mode, int32_t lines)
{
    if (int32_t rc = CheckRun(callback, mode, lines, false))
        return Fail(rc);
    FilterContext& c = *m_context;
    c.stepMode = 0;
    SetRunMode(mode);
    c.stripLines = -1;
    if (lines > 0) {
        if (!c.clientStrips)
            c.stripLines = ClampStripLines(lines);
        else if (c.stripsAllowed || c.clientStripsOffered)
            c.stripLines = std::min(lines, c.source->regionHeight);
    }
    if (int32_t rc = StartRun(callback))
        return Fail(rc);
    c.counter0 = 0;
    c.counter1 = 0;
    c.remainingLines = c.source->regionHeight;

    int32_t rc = UCF_OK;
    switch (c.runMode) {
    case 1:
        rc = c.hasAnalysis ? AnalyseImage() : UCF_ERR_NOANALYSIS;
        break;
    case 2:
        rc = ApplyImage();
        break;
    case 3:
        rc = c.hasAnalysis ? AnalyseImage() : UCF_OK;
        if (rc == UCF_OK)
            rc = ApplyImage();
        break;
    default:
        rc = UCF_ERR_BADPARAM;
        break;
    }
    return Fail(rc);
}

int32_t UtilFilter::AnalyseImage()
{
    FilterContext& c = *m_context;
    if (int32_t rc = BeginAnalysisRun())
        return rc;
    c.workingSource = *c.source;
    c.workingSource.isStrip = 0;
    c.workingSource.stripRow = 0;
    c.workingSource.stripColumn = 0;
    c.workingSource.stripTop = 0;
    if (SendCommand(3) != UCF_OK)
        return EndAnalysisRun(UCF_ERR_OUTPUT);
    return FinishAnalysisRun();
}

int32_t UtilFilter::ApplyImage()
{
    FilterContext& c = *m_context;
    if (c.stripLines < 1)
        return c.clientStrips ? UCF_ERR_LINES : ApplyWhole();
    // Strips the facade cuts itself give the same result as one whole run.
    return ApplyStrips();
}

int32_t UtilFilter::EndApplyRun(int32_t code)
{
    SendCommand(11);
    Notify(FE_APPLY_END);
    return code;
}

int32_t UtilFilter::BeginApplyRun()
{
    if (int32_t rc = SendCommand(8)) {
        SendCommand(11);
        return rc;
    }
    if (Notify(FE_APPLY_BEGIN) != 0)
        return EndApplyRun(UCF_ERR_OUTPUT);
    return UCF_OK;
}

int32_t UtilFilter::FinishApplyRun()
{
    const int32_t rc = SendCommand(11);
    Notify(FE_APPLY_END);
    return rc;
}

// The filter may ask for more overlap than it announced.
int32_t UtilFilter::ApplyOverlap()
{
    int32_t overlap = m_context->overlap;
    if (overlap > 0) {
        const int32_t raised = SendCommand(7);
        if (raised > 0)
            overlap = raised;
    }
    return overlap;
}

int32_t UtilFilter::BeginAnalysisRun()
{
    if (int32_t rc = SendCommand(2))
        return rc;
    if (Notify(FE_ANALYSIS_BEGIN) != 0)
        return EndAnalysisRun(UCF_ERR_OUTPUT);
    return UCF_OK;
}

int32_t UtilFilter::EndAnalysisRun(int32_t code)
{
    SendCommand(5);
    Notify(FE_ANALYSIS_END);
    return code;
}

int32_t UtilFilter::FinishAnalysisRun()
{
    int32_t last = SendCommand(4);
    if (int32_t rc = SendCommand(5))
        last = rc;
    Notify(FE_ANALYSIS_END);
    return last;
}

int32_t UtilFilter::ApplyWhole()
{
    FilterContext& c = *m_context;
    c.workingSource = *c.source;
    c.workingSource.totalLines = c.source->regionHeight;
    c.workingSource.isStrip = 0;
    c.workingSource.stripRow = 0;
    c.workingSource.stripColumn = 0;
    c.workingSource.stripTop = 0;
    if (c.destination) {
        c.workingDestination = *c.destination;
    } else {
        c.workingDestination = *c.source;
        c.workingDestination.pixels = nullptr;
    }
    c.workingDestination.totalLines = c.workingDestination.regionHeight;
    c.outputRemaining = c.workingDestination.regionHeight;
    if (int32_t rc = BeginApplyRun())
        return rc;
    for (int32_t command : {9, 10})
        if (int32_t rc = SendCommand(command))
            return EndApplyRun(rc);
    return FinishApplyRun();
}

int32_t UtilFilter::ApplyStripsInPlace()
{
    return ApplyStrips();
}

void UtilFilter::PrepareWorkingDescriptors(bool asStrips)
{
    FilterContext& c = *m_context;
    c.workingSource = *c.source;
    if (c.destination) {
        c.workingDestination = *c.destination;
    } else {
        // In place: the output rows are the source's own rows.
        c.workingDestination = *c.source;
    }
    for (ImageDescriptor* d : {&c.workingSource, &c.workingDestination}) {
        d->totalLines = d->regionHeight;
        d->isStrip = asStrips ? 1 : 0;
        d->stripRow = 0;
        d->stripColumn = 0;
        d->stripTop = 0;
    }
    c.outputRemaining = c.workingDestination.regionHeight;
}

int32_t UtilFilter::ApplyStrips()
{
    FilterContext& c = *m_context;
    PrepareWorkingDescriptors(true);
    ImageDescriptor& src = c.workingSource;
    ImageDescriptor& dst = c.workingDestination;
    if (int32_t rc = BeginApplyRun())
        return rc;

    uint8_t* const sourceFirst = c.source->pixels;
    uint8_t* const destinationFirst = dst.pixels;
    const bool moveDestination = !c.clientStrips;
    int32_t n = c.stripLines;
    int32_t rc = UCF_OK;
    if (c.overlap < 0) {
        dst.regionHeight = dst.totalLines;
        if ((rc = SendCommand(9)) || (rc = SendCommand(10)))
            return EndApplyRun(rc);
    } else {
        const int32_t overlap = ApplyOverlap();
        int32_t sourceLeft = src.totalLines;
        int32_t sourceRow = 0;
        int32_t outputRow = 0;
        bool first = true;
        while (c.remainingLines > 0) {
            const int32_t outLines = std::min(n, c.remainingLines);
            int32_t inLines = first ? std::min(overlap + n, sourceLeft) : std::min(n, sourceLeft);
            if (overlap == 0)
                inLines = std::min(outLines, sourceLeft);
            src.pixels = sourceFirst ? DescriptorRow(*c.source, sourceRow) : nullptr;
            src.regionHeight = inLines;
            src.stripRow = src.stripTop = outputRow;
            dst.regionHeight = outLines;
            dst.stripRow = dst.stripTop = outputRow;
            if (moveDestination && destinationFirst)
                dst.pixels = destinationFirst + static_cast<int64_t>(outputRow) * dst.rowBytes;
            if (first && (rc = SendCommand(9)))
                return EndApplyRun(rc);
            if ((rc = SendCommand(10)))
                return EndApplyRun(rc);
            Notify(FE_OUTPUT_READY);
            first = false;
            sourceRow += inLines;
            sourceLeft -= inLines;
            outputRow += outLines;
            c.remainingLines -= outLines;
        }
    }
    return FinishApplyRun();
}

int32_t UtilFilter::ExecuteStrips(FilterCallback callback, int32_t mode, int32_t lines)
{
    if (int32_t rc = CheckRun(callback, mode, lines, true))
        return Fail(rc);
    FilterContext& c = *m_context;
    c.stepMode = 1;
    SetRunMode(mode);
    if (c.overlap < 0)
        return Fail(UCF_ERR_LINES);
    c.stripLines = ClampStripLines(lines);
    if (c.stripLines < 1)
        return Fail(UCF_ERR_BADPARAM);
    if (int32_t rc = StartRun(callback))
        return Fail(rc);
    bool analysed = true;
    if ((c.runMode == 1 || c.runMode == 3) && c.hasAnalysis) {
        c.remainingLines = c.source->regionHeight;
        if (Fail(AnalyseStrips()) != UCF_OK)
            analysed = false;
    }
    if (c.runMode == 2 || (c.runMode == 3 && analysed)) {
        c.remainingLines = c.source->regionHeight;
        Fail(ApplyStripsEx());
    }
    return UCF_OK;
}

int32_t UtilFilter::AnalyseStrips()
{
    FilterContext& c = *m_context;
    if (int32_t rc = BeginAnalysisRun())
        return rc;
    c.workingSource = *c.source;
    c.workingSource.isStrip = 1;
    c.workingSource.totalLines = c.source->regionHeight;
    int32_t n = c.stripLines;
    int32_t row = 0;
    while (c.remainingLines > 0) {
        n = std::min(n, c.remainingLines);
        c.workingSource.regionHeight = n;
        c.workingSource.stripRow = c.workingSource.stripTop = row;
        Notify(FE_NEXT_STRIP);
        if (SendCommand(3) != UCF_OK)
            return EndAnalysisRun(UCF_ERR_OUTPUT);
        row += n;
        c.remainingLines -= n;
    }
    return FinishAnalysisRun();
}

int32_t UtilFilter::ApplyStripsEx()
{
    FilterContext& c = *m_context;
    PrepareWorkingDescriptors(true);
    ImageDescriptor& src = c.workingSource;
    ImageDescriptor& dst = c.workingDestination;
    if (int32_t rc = BeginApplyRun())
        return rc;
    const int32_t overlap = ApplyOverlap();
    // Output rows lag the fed source rows by the overlap: in place they would
    // land on rows of the wrong strip.
    if (!c.destination && overlap > 0)
        return EndApplyRun(UCF_ERR_GEOMETRY);
    uint8_t* const destinationFirst = dst.pixels;
    const int32_t n = c.stripLines;
    int32_t sourceLeft = src.totalLines;
    int32_t outputRow = 0;
    bool first = true;
    int32_t rc = UCF_OK;
    while (c.remainingLines > 0) {
        const int32_t outLines = std::min(n, c.remainingLines);
        const int32_t inLines =
            overlap == 0 ? std::min(outLines, sourceLeft) : std::min(first ? overlap + n : n, sourceLeft);
        src.regionHeight = inLines;
        src.stripRow = src.stripTop = outputRow;
        dst.regionHeight = outLines;
        dst.stripRow = dst.stripTop = outputRow;
        if (!c.clientStrips && c.destination && destinationFirst)
            dst.pixels = destinationFirst + static_cast<int64_t>(outputRow) * dst.rowBytes;
        Notify(FE_NEXT_STRIP);
        if (!c.destination && !c.clientStrips)
            dst.pixels = src.pixels; // in place on the strip the client fed
        if (first && (rc = SendCommand(9)))
            return EndApplyRun(rc);
        if ((rc = SendCommand(10)))
            return EndApplyRun(rc);
        Notify(FE_OUTPUT_READY);
        first = false;
        sourceLeft -= inLines;
        outputRow += outLines;
        c.remainingLines -= outLines;
    }
    return FinishApplyRun();
}

void UtilFilter::FreeResources()
{
    if (!m_context)
        return;
    m_context->source.reset();
    m_context->destination.reset();
    m_context->parameters.reset();
    for (auto& buffer : m_context->workBuffers)
        buffer.reset();
}

int32_t UtilFilter::Notify(int32_t event)
{
    if (!m_context || !m_context->callback)
        return 0;
    return m_context->callback(m_context->clientData, event, this);
}

int32_t UtilFilter::ReportProgress(int32_t percent)
{
    if (!m_context)
        return 0;
    m_context->lastPercent = percent;
    if (!m_context->callback)
        return 0;
    const int32_t answer = m_context->callback(m_context->clientData, FE_PROGRESS, this);
    return m_context->stopRequest == 1 ? UCF_ERR_STOPPED : answer;
}

void* UtilFilter::AllocWorkBuffer(int32_t index, size_t bytes)
{
    if (!m_context || index < 0 || index >= kWorkBufferCount)
        return nullptr;
    auto& slot = m_context->workBuffers[index];
    slot.reset();
    slot.reset(static_cast<uint8_t*>(std::malloc(bytes ? bytes : 1)));
    return slot.get();
}

void UtilFilter::FreeWorkBuffer(int32_t index)
{
    if (m_context && index >= 0 && index < kWorkBufferCount)
        m_context->workBuffers[index].reset();
}

void* UtilFilter::GetWorkBuffer(int32_t index) const
{
    if (!m_context || index < 0 || index >= kWorkBufferCount)
        return nullptr;
    return m_context->workBuffers[index].get();
}

const void* UtilFilter::GetParameterBlock() const
{
    if (!m_context || !m_context->parametersHandedOver)
        return nullptr;
    return m_context->parameters.get();
}

int32_t UtilFilter::NextOutputStrip(uint8_t** rowAddress)
{
    FilterContext& c = *m_context;
    if (rowAddress)
        *rowAddress = c.workingDestination.pixels;
    if (!c.clientStrips)
        return 65535;
    if (c.outputRemaining <= 0)
        return 0;
    const int32_t lines = std::min(c.stripLines, c.outputRemaining);
    c.outputRemaining -= lines;
    return lines;
}

void UtilFilter::OutputStripDone(int32_t lines)
{
    FilterContext& c = *m_context;
    c.workingDestination.regionHeight = lines;
    Notify(FE_OUTPUT_READY);
    c.workingDestination.regionHeight = c.workingDestination.totalLines;
}

int32_t UtilFilter::SetSourceDescriptor(const ImageDescriptor* descriptor)
{
    return StoreDescriptor(&FilterContext::source, descriptor);
}

int32_t UtilFilter::SetDestinationDescriptor(const ImageDescriptor* descriptor)
{
    return StoreDescriptor(&FilterContext::destination, descriptor);
}

int32_t UtilFilter::StoreDescriptor(std::unique_ptr<ImageDescriptor> FilterContext::*slot,
                                    const ImageDescriptor* descriptor)
{
    if (!m_context)
        return UCF_ERR_NOCONTEXT;
    if (!m_context->filter)
        return UCF_ERR_NOFILTER;
    std::unique_ptr<ImageDescriptor>& stored = (*m_context).*slot;
    if (!descriptor) {
        stored.reset();
        return UCF_OK;
    }
    stored.reset(new (std::nothrow) ImageDescriptor(*descriptor));
    return stored ? UCF_OK : UCF_ERR_NOMEMORY;
}
