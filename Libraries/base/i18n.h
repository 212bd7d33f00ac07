// Translation of user-visible texts; English texts are the message ids. The base layer only forwards to a
// provider that the GUI engine installs with its catalogues; until then every text translates to itself.
// Works during static initialisation: the provider slot is constant-initialised.
#pragma once

namespace tdx {

// Returns the translation of msgid in context (context is nullptr for gettext), or nullptr for "none", in
// which case msgid itself is used. Returned texts must stay valid for the rest of the program.
using i18n_provider = const char* (*)(const char* context, const char* msgid);

// Installs the provider; nullptr restores the identity.
void i18n_set_provider(i18n_provider provider);

// The translation of msgid; msgid itself when there is none; "" for a null msgid.
const char* gettext(const char* msgid);
// The translation of msgid in context; as gettext otherwise.
const char* pgettext(const char* context, const char* msgid);

} // namespace tdx

// Marks a text for extraction into the catalogues where it is translated later, through gettext at the point
// of use (tables of names, static initialisers).
#define N_(text) text
// As N_, for a text translated later with pgettext(context, text).
#define NC_(context, text) text
