/* Included by the engine's configuration in place of its disabled execution time check: the
   engine calls QbScriptTimedOut(heap user data) while it executes and stops the running call
   when it returns non-zero. */
#if defined(__cplusplus)
extern "C"
#endif
    int
    QbScriptTimedOut(void* udata);
#define DUK_USE_EXEC_TIMEOUT_CHECK(udata) QbScriptTimedOut(udata)
