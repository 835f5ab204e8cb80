/* Reading through libjpeg behind plain C calls. libjpeg reports fatal errors
 * by longjmp; every jump lands inside JpegLibReader.c, so no C++ frame is ever
 * crossed. After a fatal error the library object is already destroyed and
 * every further call answers 0. */
#ifndef ZAV_JPEG_LIB_READER_H
#define ZAV_JPEG_LIB_READER_H

#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ZavJpegLib ZavJpegLib;

typedef struct ZavJpegLibInfo
{
    unsigned width;
    unsigned height;
    int components;
    int colorSpace;    /* the file's colour space, libjpeg's J_COLOR_SPACE */
    int outColorSpace; /* what libjpeg would give by default */
    int sawAdobe;      /* an APP14 Adobe marker was read */
    int adobeTransform;
    /* The first APP1 segment's payload that begins "Exif" and two NULs, or null;
     * it lives in the library's memory while the library object does. */
    const unsigned char* exif;
    unsigned exifLength;
} ZavJpegLibInfo;

/* Kinds of rows ZavJpegLibStart can be asked for. */
enum { ZAV_JPEG_OUT_GREY = 0, ZAV_JPEG_OUT_BGR = 1, ZAV_JPEG_OUT_CMYK = 2 };

/* Null when memory is short. */
ZavJpegLib* ZavJpegLibCreate(void);
/* Destroys the library object if it still lives and frees the reader. */
void ZavJpegLibDestroy(ZavJpegLib* lib);

/* 1 when the header of an image was read from the stream, else 0. */
int ZavJpegLibReadHeader(ZavJpegLib* lib, FILE* stream, ZavJpegLibInfo* info);
/* Starts decompressing into the given kind of rows; 1 on success. */
int ZavJpegLibStart(ZavJpegLib* lib, int outKind);
/* Reads up to `count` rows; *got receives the rows read; 1 on success. */
int ZavJpegLibReadRows(ZavJpegLib* lib, unsigned char** rows, unsigned count, unsigned* got);
/* Rows a single read may deliver at most. */
unsigned ZavJpegLibRowBatch(const ZavJpegLib* lib);
/* 1 after the data ran out early (the library then pads the picture). */
int ZavJpegLibHitEnd(const ZavJpegLib* lib);
/* Ends a finished or abandoned decompression and destroys the object. */
void ZavJpegLibFinish(ZavJpegLib* lib);

#ifdef __cplusplus
}
#endif

#endif
