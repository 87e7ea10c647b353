#pragma once
/* The C interface of the zip engine's two run-time libraries, ZIPDLL
 * (libzipdll.so: "ZipDllExec", "GetZipDllVersion") and UNZDLL (libunzdll.so:
 * "UnzDllExec", "GetUnzDllVersion"). The engine loads a library for each
 * operation, fills one call block and unloads the library afterwards.
 *
 * Strings are UTF-8 (file names as the file system has them) and owned by
 * the caller for the length of the call. Messages go back through `message`
 * during the call, each with an error code: 0 for plain information, a
 * libzip error code (ZIP_ER_*) or an errno value otherwise. */

#ifdef __cplusplus
extern "C" {
#endif

/* The version both libraries report (GetZipDllVersion, GetUnzDllVersion):
 * major * 100 + minor. The engine accepts any library of its own major. */
#define QUILLET_DLL_VERSION 100

typedef void (*QuilletDllMessageFn)(void* context, int errorCode, const char* text);

/* ZipDllExec's call block. */
enum {
    ZIPDLL_ADD_DIRNAMES = 1, /* store the directory part of each path too */
    ZIPDLL_ADD_HIDDEN = 2    /* add files whose name starts with "." */
};
struct ZipDllCall {
    int version;                 /* QUILLET_DLL_VERSION of the caller */
    const char* archive;         /* created when it does not exist */
    const char* const* files;    /* full paths of the files to add */
    int fileCount;
    int level;                   /* deflate level 0..9 */
    const char* const* storeSuffixes; /* extensions stored without compression */
    int storeSuffixCount;        /* (compared without regard to case) */
    int flags;                   /* ZIPDLL_ADD_* */
    QuilletDllMessageFn message;
    void* context;
    int added;                   /* out: files added */
    int failed;                  /* out: files not added because of a fault */
    int archiveFailed;           /* out: 1 when the archive itself could not be
                                    opened or written (nothing was added) */
};

/* UnzDllExec's call block. */
enum {
    UNZDLL_EXTR_DIRNAMES = 1,  /* recreate stored directories below baseDir */
    UNZDLL_EXTR_OVERWRITE = 2  /* replace files that exist */
};
struct UnzDllCall {
    int version;
    const char* archive;
    const char* baseDir;         /* the directory the entries are written into */
    const char* const* names;    /* entry names to extract; none: every entry */
    int nameCount;
    int flags;                   /* UNZDLL_EXTR_* */
    QuilletDllMessageFn message;
    void* context;
    int extracted;               /* out: files written */
    int failed;                  /* out: entries not written because of a fault
                                    (unsafe names, read or write errors) */
};

/* Each Exec returns 0 when every file was done, a positive error code of the
 * last fault when some were not, and -1 when the call itself was aborted by
 * an unexpected failure inside the library. */
typedef int (*ZipDllExecFn)(struct ZipDllCall* call);
typedef int (*GetZipDllVersionFn)(void);
typedef int (*UnzDllExecFn)(struct UnzDllCall* call);
typedef int (*GetUnzDllVersionFn)(void);

#ifdef __cplusplus
}
#endif
