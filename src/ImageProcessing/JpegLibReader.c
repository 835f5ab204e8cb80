#include "ImageProcessing/JpegLibReader.h"

#include <jerror.h>
#include <jpeglib.h>
#include <setjmp.h>
#include <stdlib.h>
#include <string.h>

struct ZavJpegLib
{
    struct jpeg_decompress_struct cinfo;
    struct jpeg_error_mgr err;
    jmp_buf jump;
    int alive;
    int started;
    int hitEnd;
};

static void ErrorExitJump(j_common_ptr cinfo)
{
    ZavJpegLib* lib = (ZavJpegLib*)cinfo->client_data;
    jpeg_destroy(cinfo);
    lib->alive = 0;
    longjmp(lib->jump, 1);
}

/* Messages are not shown; only the early end of the data is remembered (also
   when a marker cut the entropy data short), as such a picture is half made up. */
static void EmitMessageQuiet(j_common_ptr cinfo, int level)
{
    ZavJpegLib* lib = (ZavJpegLib*)cinfo->client_data;
    if (level < 0) {
        cinfo->err->num_warnings++;
        if (cinfo->err->msg_code == JWRN_JPEG_EOF || cinfo->err->msg_code == JWRN_HIT_MARKER)
            lib->hitEnd = 1;
    }
}

static void OutputMessageQuiet(j_common_ptr cinfo)
{
    (void)cinfo;
}

static int CreateDecompress(ZavJpegLib* lib)
{
    if (setjmp(lib->jump))
        return 0;
    jpeg_create_decompress(&lib->cinfo);
    lib->alive = 1;
    return 1;
}

ZavJpegLib* ZavJpegLibCreate(void)
{
    ZavJpegLib* lib = (ZavJpegLib*)calloc(1, sizeof(ZavJpegLib));
    if (!lib)
        return NULL;
    lib->cinfo.err = jpeg_std_error(&lib->err);
    lib->err.error_exit = ErrorExitJump;
    lib->err.emit_message = EmitMessageQuiet;
    lib->err.output_message = OutputMessageQuiet;
    lib->cinfo.client_data = lib;
    if (!CreateDecompress(lib)) {
        free(lib);
        return NULL;
    }
    return lib;
}

void ZavJpegLibDestroy(ZavJpegLib* lib)
{
    if (!lib)
        return;
    if (lib->alive)
        jpeg_destroy_decompress(&lib->cinfo);
    free(lib);
}

int ZavJpegLibReadHeader(ZavJpegLib* lib, FILE* stream, ZavJpegLibInfo* info)
{
    if (!lib || !lib->alive || !stream || !info)
        return 0;
    if (setjmp(lib->jump))
        return 0;
    jpeg_stdio_src(&lib->cinfo, stream);
    /* Kept for the picture's orientation; a segment holds at most 65533 bytes. */
    jpeg_save_markers(&lib->cinfo, JPEG_APP0 + 1, 0xFFFF);
    if (jpeg_read_header(&lib->cinfo, TRUE) != JPEG_HEADER_OK)
        return 0;
    info->width = lib->cinfo.image_width;
    info->height = lib->cinfo.image_height;
    info->components = lib->cinfo.num_components;
    info->colorSpace = (int)lib->cinfo.jpeg_color_space;
    info->outColorSpace = (int)lib->cinfo.out_color_space;
    info->sawAdobe = lib->cinfo.saw_Adobe_marker ? 1 : 0;
    info->adobeTransform = lib->cinfo.Adobe_transform;
    info->exif = NULL;
    info->exifLength = 0;
    for (jpeg_saved_marker_ptr m = lib->cinfo.marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 && memcmp(m->data, "Exif\0\0", 6) == 0) {
            info->exif = m->data;
            info->exifLength = m->data_length;
            break;
        }
    }
    return 1;
}

int ZavJpegLibStart(ZavJpegLib* lib, int outKind)
{
    if (!lib || !lib->alive)
        return 0;
    if (setjmp(lib->jump))
        return 0;
    switch (outKind) {
    case ZAV_JPEG_OUT_GREY:
        lib->cinfo.out_color_space = JCS_GRAYSCALE;
        break;
    case ZAV_JPEG_OUT_BGR:
        lib->cinfo.out_color_space = JCS_EXT_BGR;
        break;
    default:
        lib->cinfo.out_color_space = JCS_CMYK;
        break;
    }
    lib->cinfo.dct_method = JDCT_ISLOW;
    if (!jpeg_start_decompress(&lib->cinfo))
        return 0;
    lib->started = 1;
    return 1;
}

int ZavJpegLibReadRows(ZavJpegLib* lib, unsigned char** rows, unsigned count, unsigned* got)
{
    *got = 0;
    if (!lib || !lib->alive || !lib->started)
        return 0;
    if (setjmp(lib->jump))
        return 0;
    *got = jpeg_read_scanlines(&lib->cinfo, rows, count);
    return 1;
}

unsigned ZavJpegLibRowBatch(const ZavJpegLib* lib)
{
    return lib && lib->cinfo.rec_outbuf_height > 0 ? (unsigned)lib->cinfo.rec_outbuf_height : 1u;
}

int ZavJpegLibHitEnd(const ZavJpegLib* lib)
{
    return lib ? lib->hitEnd : 0;
}

void ZavJpegLibFinish(ZavJpegLib* lib)
{
    if (!lib || !lib->alive)
        return;
    if (setjmp(lib->jump))
        return;
    /* Abandoned midway: abort instead of finishing, which would insist on the rest. */
    if (lib->started && lib->cinfo.output_scanline < lib->cinfo.output_height)
        jpeg_abort_decompress(&lib->cinfo);
    else if (lib->started)
        jpeg_finish_decompress(&lib->cinfo);
    lib->started = 0;
    jpeg_destroy_decompress(&lib->cinfo);
    lib->alive = 0;
}
