#pragma once
/* Ostrelink: installer actions that make an application the default handler of its file
 * extensions and MIME types, remember the former handlers, and give the types back on removal.
 * A plain C interface: installers and package scripts call it through a host, and it shares no
 * code with the program whose types it registers.
 *
 * Session properties read: "CustomActionData" (the action's data), "ProductCode" (names the
 * backup file), "ALLUSERS" ("1": the whole machine, /etc/xdg and /var/lib; otherwise the
 * calling user's XDG folders), "QZ_DF_EXT_<ext>" and "QZ_DF_MIME_<type>" (former defaults,
 * written by GetAllOldDefaults). Every export returns 0 except GetAllOldDefaults and
 * SetDefaultCustom, which return 1 when the association store cannot be opened. */

#ifdef __cplusplus
extern "C" {
#endif

#define OSTRELINK_API __attribute__((visibility("default")))

/* The installer's session as the actions see it; texts are UTF-8. */
typedef struct OstrelinkSession {
  void* context; /* passed to every callback */
  /* The property's value, or NULL when it is not set; valid until the next call on the session. */
  const char* (*get_property)(void* context, const char* name);
  /* Sets a property; returns 0 on success. */
  int (*set_property)(void* context, const char* name, const char* value);
  /* Appends one information record holding text to the installer log. */
  void (*log_info)(void* context, const char* text);
} OstrelinkSession;

/* Data: one entry "app U+0002 exts U+0003 mimes". Records the current default of each item in
 * QZ_DF_EXT_<ext> / QZ_DF_MIME_<type>, except items the application already handles. */
OSTRELINK_API unsigned GetAllOldDefaults(OstrelinkSession* session);
/* Data: entries joined by U+0001. Makes each application the default of its items and adds the
 * replaced ones to the backup file. */
OSTRELINK_API unsigned SetDefaultCustom(OstrelinkSession* session);
/* Data: the application id. Makes it the default of every type its desktop file lists. */
OSTRELINK_API unsigned SetDefaultAll(OstrelinkSession* session);
/* Data: the application id. There is no association dialog to open here; logs that. */
OSTRELINK_API unsigned CustomizeDefaults(OstrelinkSession* session);
/* Gives every type the application still handles back to its former owner; deletes the backup. */
OSTRELINK_API unsigned RestoreDefaults(OstrelinkSession* session);

#ifdef __cplusplus
}
#endif
