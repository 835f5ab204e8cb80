// The client-driven interfaces of the facade: the client hands over each
// source strip (and destination strip) itself, without a callback.
#include "UtilFilter.h"

#include "UCFilter.h"

#include <algorithm>

int32_t UtilFilter::BeginAnalysis(int32_t* totalLines)
{
    if (!m_context)
        return Fail(UCF_ERR_NOCONTEXT);
    FilterContext& c = *m_context;
    if (!c.filter || !c.source)
        return Fail(UCF_ERR_NOFILTER);
    if (!c.hasAnalysis)
        return Fail(UCF_ERR_NOANALYSIS);
    c.workingSource = *c.source;
    c.workingSource.isStrip = 1;
    c.workingSource.totalLines = c.source->regionHeight;
    c.workingSource.pixels = nullptr;
    c.stepSourceRemaining = c.source->regionHeight;
    if (int32_t rc = SendCommand(2))
        return Fail(rc);
    c.stepSourceDone = 0;
    if (totalLines)
        *totalLines = c.stepSourceRemaining;
    return UCF_OK;
}

int32_t UtilFilter::AnalyseStrip(const ImageDescriptor* strip, int32_t* remainingLines)
{
    if (!m_context || !m_context->filter)
        return Fail(UCF_ERR_NOCONTEXT);
    FilterContext& c = *m_context;
    if (!strip)
        return Fail(UCF_ERR_NODESCRIPTOR);
    if (strip->regionHeight < 1)
        return Fail(UCF_ERR_BADPARAM);
    if (!strip->pixels)
        return Fail(UCF_ERR_NODATA);
    if (c.stepSourceRemaining < 1)
        return Fail(UCF_ERR_NOMORELINES);
    const int32_t lines = std::min(strip->regionHeight, c.stepSourceRemaining);
    ImageDescriptor& w = c.workingSource;
    w.rowBytes = strip->rowBytes;
    w.pixels = strip->pixels;
    w.regionWidth = strip->regionWidth;
    w.regionHeight = lines;
    w.left = w.top = 0;
    w.width = strip->regionWidth;
    w.height = lines;
    w.stripRow = w.stripTop = c.stepSourceDone;
    if (int32_t rc = SendCommand(3))
        return Fail(rc);
    c.stepSourceDone += lines;
    c.stepSourceRemaining -= lines;
    if (remainingLines)
        *remainingLines = c.stepSourceRemaining;
    return UCF_OK;
}

int32_t UtilFilter::EndAnalysis()
{
    if (!m_context || !m_context->filter)
        return Fail(UCF_ERR_NOCONTEXT);
    int32_t last = SendCommand(4);
    if (int32_t rc = SendCommand(5))
        last = rc;
    return Fail(last);
}

int32_t UtilFilter::BeginApply(int32_t* overlap, int32_t* totalLines)
{
    if (!m_context)
        return Fail(UCF_ERR_NOCONTEXT);
    FilterContext& c = *m_context;
    if (!c.filter || !c.source)
        return Fail(UCF_ERR_NOFILTER);
    if ((c.source->format & c.info.formatMask) == 0)
        return Fail(UCF_ERR_FORMAT);
    if (!c.stripsAllowed)
        return Fail(UCF_ERR_LINES);
    for (ImageDescriptor* d : {&c.workingSource, &c.workingDestination}) {
        *d = *c.source;
        d->isStrip = 1;
        d->totalLines = c.source->regionHeight;
        d->pixels = nullptr;
    }
    c.outputRemaining = c.source->regionHeight;
    if (int32_t rc = SendCommand(8))
        return Fail(rc);
    c.overlap = c.info.overlap;
    if (c.overlap > 0) {
        const int32_t raised = SendCommand(7);
        if (raised > 0)
            c.overlap = raised;
    }
    c.stepSourceRemaining = c.stepDestinationRemaining = c.source->regionHeight;
    c.stepSourceDone = c.stepDestinationDone = 0;
    if (overlap)
        *overlap = c.overlap;
    if (totalLines)
        *totalLines = c.source->regionHeight;
    return UCF_OK;
}

int32_t UtilFilter::GetApplyOverlap()
{
    return m_context ? m_context->overlap : -1;
}

int32_t UtilFilter::ApplyStrip(const ImageDescriptor* source, const ImageDescriptor* destination,
                               int32_t* remainingSourceLines)
{
    if (!m_context || !m_context->filter)
        return Fail(UCF_ERR_NOCONTEXT);
    FilterContext& c = *m_context;
    if (!source || !destination)
        return Fail(UCF_ERR_NODESCRIPTOR);
    if (!source->pixels || !destination->pixels)
        return Fail(UCF_ERR_NODATA);
    if (source->regionHeight < 1 || destination->regionHeight < 1)
        return Fail(UCF_ERR_BADPARAM);
    if (c.stepSourceRemaining < 1 || c.stepDestinationRemaining < 1 ||
        c.stepSourceRemaining < source->regionHeight ||
        c.stepDestinationRemaining < destination->regionHeight)
        return Fail(UCF_ERR_NOMORELINES);
    const bool first = c.stepSourceDone == 0 && c.stepDestinationDone == 0;
    if (first && source->regionHeight < c.stepSourceRemaining &&
        source->regionHeight != destination->regionHeight + c.overlap)
        return Fail(UCF_ERR_STRIPLINES);
    ImageDescriptor& s = c.workingSource;
    ImageDescriptor& d = c.workingDestination;
    s.rowBytes = source->rowBytes;
    s.pixels = source->pixels;
    s.regionHeight = source->regionHeight;
    s.stripRow = s.stripTop = c.stepSourceDone;
    d.rowBytes = destination->rowBytes;
    d.pixels = destination->pixels;
    d.regionHeight = destination->regionHeight;
    d.stripRow = d.stripTop = c.stepDestinationDone;
    if (first)
        if (int32_t rc = SendCommand(9))
            return Fail(rc);
    if (int32_t rc = SendCommand(10))
        return Fail(rc);
    c.stepSourceDone += source->regionHeight;
    c.stepSourceRemaining -= source->regionHeight;
    c.stepDestinationDone += destination->regionHeight;
    c.stepDestinationRemaining -= destination->regionHeight;
    if (remainingSourceLines)
        *remainingSourceLines = c.stepSourceRemaining;
    return UCF_OK;
}

int32_t UtilFilter::EndApply()
{
    if (!m_context || !m_context->filter)
        return Fail(UCF_ERR_NOCONTEXT);
    return Fail(SendCommand(11));
}
