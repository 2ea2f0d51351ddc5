/* Mirel text-editing control: the flat interface a host program calls.
 * Plain C, cdecl. Positions are byte offsets into the document text. */
#ifndef MIRELCTRL_H
#define MIRELCTRL_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define MIREL_API
#define MIREL_CALL __cdecl
#else
#define MIREL_API __attribute__((visibility("default")))
#define MIREL_CALL
#endif

/* Encoding codes of a document or byte buffer. */
#define MIREL_ENCODING_UNDEFINED 0
#define MIREL_ENCODING_ANSI 1
#define MIREL_ENCODING_UTF16BE 2 /* only its byte-order mark is big-endian; units are little-endian */
#define MIREL_ENCODING_UTF16LE 3
#define MIREL_ENCODING_UTF8 4
#define MIREL_ENCODING_UTF8_BOM 5
#define MIREL_ENCODING_BINARY 255

/* Newline kinds. */
#define MIREL_FILE_FORMAT_CRLF 1
#define MIREL_FILE_FORMAT_LF 2
#define MIREL_FILE_FORMAT_CR 3

/* Encoding of a byte buffer: a byte-order mark, else UTF-8 when the bytes are
 * valid UTF-8 with at least one multi-byte sequence, else ANSI. */
MIREL_API int MIREL_CALL Mirel_DetermineEncoding(const char* pBuf, int nLen);

/* The most frequent newline kind in a byte buffer of the given encoding
 * (ties go to CR LF, then LF; no newline gives CR LF). */
MIREL_API int MIREL_CALL Mirel_DetermineFileFormat(const char* pBuf, unsigned nLen, int nEncoding);

#ifdef __cplusplus
}
#endif

#endif /* MIRELCTRL_H */
