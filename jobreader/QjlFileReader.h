#pragma once
/* The calls of the job-list reader libQjlFileReader.so. A production program leaves one file per
   job list in the JobLists folder beside the library (format in README.md); these calls hand the
   job lists, their items and their panel and glass records to a caller in fixed-size records.

   A walk starts with a First call, which fills the caller's record with the first record and
   returns a handle; each Next call with the last handle fills the next record and returns the
   next handle. Every call that delivers a record returns a handle other than 0. The call after
   the last record clears the record (item number 0, empty texts) and returns 0, which ends the
   walk; a First call that finds nothing does the same. So a caller may stop at the first 0
   handle, or also look at the record that came with it: it describes nothing. A Next call with
   a 0 or spent handle returns 0 and leaves the record as it was. Texts in the records are UTF-8 and always
   zero-terminated. */

#include <stdint.h>

#if defined(QJL_BUILDING_READER)
#define QJL_API __attribute__((visibility("default")))
#else
#define QJL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t QjlHandle;

/* Record sizes in bytes; the byte offsets of the fields are in README.md. */
#define QJL_JOB_LIST_RECORD_SIZE 276
#define QJL_JOB_INFO_RECORD_SIZE 5208
#define QJL_ITEM_RECORD_SIZE 376

/* The job lists of the folder, ordered by name: name (21 bytes) and description (255 bytes). */
QJL_API QjlHandle GetJobListFirst(void* record);
QJL_API QjlHandle GetJobListNext(QjlHandle handle, void* record);

/* The number of items of the job list named jobListId: its highest item number, 0 when there is
   no such job list. */
QJL_API int32_t GetJobItemsNumber(const char* jobListId);

/* One job information record per item of the job list, in the order of the file. */
QJL_API QjlHandle GetJobInfoFirst(const char* jobListId, void* record);
QJL_API QjlHandle GetJobInfoNext(QjlHandle handle, void* record);

/* The panel records and the glass records of the job list, in the order of the file. A job list
   without any clears the record (an empty serie) and returns 0. */
QJL_API QjlHandle GetPanFirst(const char* jobListId, void* record);
QJL_API QjlHandle GetPanNext(QjlHandle handle, void* record);
QJL_API QjlHandle GetGlassFirst(const char* jobListId, void* record);
QJL_API QjlHandle GetGlassNext(QjlHandle handle, void* record);

/* What the last First call or GetJobItemsNumber could not take: one line per problem, naming the
   file and the line, separated by line feeds; empty when everything was taken. Copies at most
   size - 1 bytes and a terminating zero into buffer (nothing when size is 0 or buffer is null)
   and returns the length of the whole text, so a caller can ask again with a larger buffer. */
QJL_API int32_t QjlGetLastError(char* buffer, int32_t size);

/* Ends every walk still open and forgets the last problems. Unloading the library does the same;
   a walk also ends by itself when it returns its 0 handle. */
QJL_API void QjlReleaseAll(void);

#ifdef __cplusplus
}
#endif
