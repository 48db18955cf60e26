#pragma once
// libsmbclient, loaded when the first network-share connection is made. It
// brings some eighty shared libraries with it, whose loading took most of
// the start of every run of the program (about 16 ms), while only jobs with
// a network-share destination use it.
#include <libsmbclient.h>

#include <QString>

struct SmbClientLib {
    decltype(&::smbc_new_context) new_context;
    decltype(&::smbc_init_context) init_context;
    decltype(&::smbc_free_context) free_context;
    decltype(&::smbc_setDebug) setDebug;
    decltype(&::smbc_setLogCallback) setLogCallback;
    decltype(&::smbc_setOptionUseKerberos) setOptionUseKerberos;
    decltype(&::smbc_setOptionFallbackAfterKerberos) setOptionFallbackAfterKerberos;
    decltype(&::smbc_setOptionUseCCache) setOptionUseCCache;
    decltype(&::smbc_setOptionNoAutoAnonymousLogin) setOptionNoAutoAnonymousLogin;
    decltype(&::smbc_setOptionUserData) setOptionUserData;
    decltype(&::smbc_getOptionUserData) getOptionUserData;
    decltype(&::smbc_setFunctionAuthDataWithContext) setFunctionAuthDataWithContext;
    decltype(&::smbc_getFunctionPurgeCachedServers) getFunctionPurgeCachedServers;
    decltype(&::smbc_getFunctionOpendir) getFunctionOpendir;
    decltype(&::smbc_getFunctionReaddir) getFunctionReaddir;
    decltype(&::smbc_getFunctionClosedir) getFunctionClosedir;
    decltype(&::smbc_getFunctionStat) getFunctionStat;
    decltype(&::smbc_getFunctionFstat) getFunctionFstat;
    decltype(&::smbc_getFunctionOpen) getFunctionOpen;
    decltype(&::smbc_getFunctionRead) getFunctionRead;
    decltype(&::smbc_getFunctionWrite) getFunctionWrite;
    decltype(&::smbc_getFunctionClose) getFunctionClose;
    decltype(&::smbc_getFunctionUnlink) getFunctionUnlink;
    decltype(&::smbc_getFunctionRename) getFunctionRename;
    decltype(&::smbc_getFunctionMkdir) getFunctionMkdir;
    decltype(&::smbc_getFunctionRmdir) getFunctionRmdir;
    decltype(&::smbc_getFunctionChmod) getFunctionChmod;
    decltype(&::smbc_getFunctionUtimes) getFunctionUtimes;

    // Loads the library on the first call (from any thread, once) and
    // returns it; null, with `error` set, when it or a function is missing.
    static const SmbClientLib *Load(QString *error = nullptr);
};

// The library, for code that works on a context it made (so Load succeeded).
const SmbClientLib &SmbLib();
