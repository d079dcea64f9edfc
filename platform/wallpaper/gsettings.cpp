// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/gsettings.h"
#include "platform/wallpaper/desktopprocess.h"
#include "platform/wallpaper/filecheck.h"
#include "platform/wallpaper/x11root.h"

#include <gio/gio.h>

#include <memory>
#include <vector>

namespace velumbra {
namespace {

template <typename T> struct GObjectDeleter
{
    void operator()(T *p) const { g_object_unref(p); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectDeleter<T>>;

struct SchemaDeleter
{
    void operator()(GSettingsSchema *s) const { g_settings_schema_unref(s); }
};
using SchemaPtr = std::unique_ptr<GSettingsSchema, SchemaDeleter>;

struct GFreeDeleter
{
    void operator()(void *p) const { g_free(p); }
};
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;

struct Keys
{
    const char *backgroundSchema;
    const char *pictureKey;
    bool plainPath; // MATE stores a file name, the others a URI
    const char *screensaverSchema;
};

Keys keysOf(GSettingsSetter::Flavour flavour)
{
    switch (flavour) {
    case GSettingsSetter::Flavour::Cinnamon:
        return {"org.cinnamon.desktop.background", "picture-uri", false,
                "org.cinnamon.desktop.screensaver"};
    case GSettingsSetter::Flavour::Mate:
        return {"org.mate.background", "picture-filename", true, "org.mate.screensaver"};
    case GSettingsSetter::Flavour::Gnome:
        break;
    }
    return {"org.gnome.desktop.background", "picture-uri", false, "org.gnome.desktop.screensaver"};
}

// g_settings_new() aborts the program on a schema it does not know: look it
// up first. Nothing when the schema is not installed.
SchemaPtr lookupSchema(const char *id)
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (!source)
        return nullptr;
    return SchemaPtr(g_settings_schema_source_lookup(source, id, TRUE));
}

bool hasStringKey(GSettingsSchema *schema, const char *key)
{
    if (!g_settings_schema_has_key(schema, key))
        return false;
    GSettingsSchemaKey *k = g_settings_schema_get_key(schema, key);
    const bool isString =
        g_variant_type_equal(g_settings_schema_key_get_value_type(k), G_VARIANT_TYPE_STRING);
    g_settings_schema_key_unref(k);
    return isString;
}

std::string getString(GSettings *settings, const char *key)
{
    GCharPtr value(g_settings_get_string(settings, key));
    return value ? std::string(value.get()) : std::string();
}

std::string absolutePath(const std::string &path)
{
    GCharPtr absolute(g_canonicalize_filename(path.c_str(), nullptr));
    return absolute.get();
}

std::string schemaMissing(const char *id)
{
    return std::string("Le schéma GSettings « ") + id +
           " » n'est pas installé : le papier peint reste inchangé.";
}

// The keys of @p schema that a change of @p what touches and that the
// installed schema has.
std::vector<std::string> lastingKeys(LastingSetting what, const Keys &keys, GSettingsSchema *schema)
{
    std::vector<std::string> wanted;
    if (what == LastingSetting::ScreenSaver)
        wanted = {"idle-activation-enabled"};
    else
        wanted = {keys.pictureKey, "picture-uri-dark", "picture-options"};
    std::vector<std::string> present;
    for (const std::string &key : wanted) {
        if (g_settings_schema_has_key(schema, key.c_str()))
            present.push_back(key);
    }
    return present;
}

const char *schemaOf(LastingSetting what, const Keys &keys)
{
    return what == LastingSetting::ScreenSaver ? keys.screensaverSchema : keys.backgroundSchema;
}

} // namespace

GSettingsSetter::GSettingsSetter(Flavour flavour, std::string display)
    : m_flavour(flavour), m_display(std::move(display))
{
}

std::string GSettingsSetter::name() const
{
    switch (m_flavour) {
    case Flavour::Cinnamon:
        return "cinnamon";
    case Flavour::Mate:
        return "mate";
    case Flavour::Gnome:
        break;
    }
    return "gnome";
}

Result<> GSettingsSetter::setWallpaper(const std::string &path, WallpaperLifetime)
{
    // The desktop would take a file that is no picture and show nothing.
    if (const Result<std::string> usable = checkedPicture(path); !usable)
        return Failure{usable.reason()};
    const Keys keys = keysOf(m_flavour);
    SchemaPtr schema = lookupSchema(keys.backgroundSchema);
    if (!schema || !hasStringKey(schema.get(), keys.pictureKey))
        return Failure{schemaMissing(keys.backgroundSchema)};

    const std::string file = absolutePath(path);
    std::string value = file;
    if (!keys.plainPath) {
        GError *error = nullptr;
        GCharPtr uri(g_filename_to_uri(file.c_str(), nullptr, &error));
        if (!uri) {
            const std::string why = error ? error->message : "";
            g_clear_error(&error);
            return Failure{"Le nom « " + path +
                           " » ne peut pas être converti en adresse de fichier (" + why +
                           ") : le papier peint reste inchangé."};
        }
        value = uri.get();
    }

    // GNOME 42 and later show picture-uri-dark alone in the dark style.
    std::vector<const char *> pictureKeys{keys.pictureKey};
    if (!keys.plainPath && hasStringKey(schema.get(), "picture-uri-dark"))
        pictureKeys.push_back("picture-uri-dark");

    GObjectPtr<GSettings> settings(g_settings_new_full(schema.get(), nullptr, nullptr));
    for (const char *key : pictureKeys) {
        if (!g_settings_is_writable(settings.get(), key))
            return Failure{std::string("Le réglage « ") + keys.backgroundSchema + " " + key +
                           " » est verrouillé : le papier peint reste inchangé."};
    }
    // Both keys change in one write, so the desktop never shows a mix.
    g_settings_delay(settings.get());
    for (const char *key : pictureKeys)
        g_settings_set_string(settings.get(), key, value.c_str());
    // "none" shows no picture at all: the new wallpaper must be seen.
    if (hasStringKey(schema.get(), "picture-options") &&
        getString(settings.get(), "picture-options") == "none" &&
        g_settings_is_writable(settings.get(), "picture-options")) {
        GSettingsSchemaKey *k = g_settings_schema_get_key(schema.get(), "picture-options");
        GVariant *stretched = g_variant_ref_sink(g_variant_new_string("stretched"));
        if (g_settings_schema_key_range_check(k, stretched))
            g_settings_set_value(settings.get(), "picture-options", stretched);
        g_variant_unref(stretched);
        g_settings_schema_key_unref(k);
    }
    g_settings_apply(settings.get());
    g_settings_sync();

    for (const char *key : pictureKeys) {
        if (getString(settings.get(), key) != value)
            return Failure{std::string("Le bureau n'a pas gardé le nouveau papier "
                                       "peint (réglage « ") +
                           keys.backgroundSchema + " " + key + " »)."};
    }
    return Result<>::success();
}

Result<> GSettingsSetter::disableScreenSaver()
{
    const Keys keys = keysOf(m_flavour);
    bool tried = false;
    SchemaPtr schema = lookupSchema(keys.screensaverSchema);
    constexpr const char *kKey = "idle-activation-enabled";
    if (schema && g_settings_schema_has_key(schema.get(), kKey)) {
        tried = true;
        GObjectPtr<GSettings> settings(g_settings_new_full(schema.get(), nullptr, nullptr));
        if (!g_settings_is_writable(settings.get(), kKey) ||
            !g_settings_set_boolean(settings.get(), kKey, FALSE))
            return Failure{std::string("Le réglage « ") + keys.screensaverSchema + " " + kKey +
                           " » est verrouillé : l'économiseur d'écran reste actif."};
        g_settings_sync();
        if (g_settings_get_boolean(settings.get(), kKey))
            return Failure{"Le bureau n'a pas désactivé l'économiseur d'écran."};
    }
    // The X server's own saver blanks the screen too when no desktop
    // screen saver runs.
    if (!m_display.empty()) {
        tried = true;
        if (auto x = disableX11ScreenSaver(m_display); !x.ok())
            return x;
    }
    if (!tried)
        return Failure{std::string("Le schéma GSettings « ") + keys.screensaverSchema +
                       " » n'est pas installé et aucun serveur X n'est accessible : "
                       "l'économiseur d'écran reste actif."};
    return Result<>::success();
}

LifetimeSupport GSettingsSetter::lifetimeSupport(LastingSetting what) const
{
    // Without the desktop's schema only the X server's own saver is
    // switched off, and that ends with the session by itself.
    if (what == LastingSetting::ScreenSaver && !lookupSchema(keysOf(m_flavour).screensaverSchema))
        return LifetimeSupport::Native;
    return LifetimeSupport::StoredOnly;
}

Result<std::string> GSettingsSetter::readLasting(LastingSetting what)
{
    const Keys keys = keysOf(m_flavour);
    const char *id = schemaOf(what, keys);
    SchemaPtr schema = lookupSchema(id);
    if (!schema)
        return Failure{schemaMissing(id)};
    GObjectPtr<GSettings> settings(g_settings_new_full(schema.get(), nullptr, nullptr));
    GVariantBuilder dict;
    g_variant_builder_init(&dict, G_VARIANT_TYPE_VARDICT);
    for (const std::string &key : lastingKeys(what, keys, schema.get())) {
        GVariant *value = g_settings_get_value(settings.get(), key.c_str());
        g_variant_builder_add(&dict, "{sv}", key.c_str(), value);
        g_variant_unref(value);
    }
    GVariant *values = g_variant_ref_sink(g_variant_builder_end(&dict));
    GCharPtr text(g_variant_print(values, TRUE));
    g_variant_unref(values);
    return std::string(id) + "\n" + text.get();
}

Result<> GSettingsSetter::restoreLasting(LastingSetting what, const std::string &state)
{
    const Keys keys = keysOf(m_flavour);
    const auto newline = state.find('\n');
    const std::string id = state.substr(0, newline);
    if (newline == std::string::npos || id != schemaOf(what, keys))
        return Failure{"Le réglage à rétablir ne vient pas de ce bureau : il est "
                       "abandonné."};
    SchemaPtr schema = lookupSchema(id.c_str());
    if (!schema)
        return Failure{schemaMissing(id.c_str())};
    GVariant *parsed = g_variant_parse(G_VARIANT_TYPE_VARDICT, state.c_str() + newline + 1, nullptr,
                                       nullptr, nullptr);
    if (!parsed)
        return Failure{"Le réglage à rétablir est illisible : il est abandonné."};
    GVariant *values = g_variant_ref_sink(parsed);

    GObjectPtr<GSettings> settings(g_settings_new_full(schema.get(), nullptr, nullptr));
    g_settings_delay(settings.get());
    std::vector<std::pair<std::string, GVariant *>> written;
    GVariantIter iter;
    g_variant_iter_init(&iter, values);
    const gchar *key = nullptr;
    GVariant *value = nullptr;
    // g_variant_iter_loop frees the previous key and value on each turn.
    while (g_variant_iter_loop(&iter, "{&sv}", &key, &value)) {
        if (!g_settings_schema_has_key(schema.get(), key) ||
            !g_settings_is_writable(settings.get(), key))
            continue;
        GSettingsSchemaKey *k = g_settings_schema_get_key(schema.get(), key);
        const bool fits = g_variant_is_of_type(value, g_settings_schema_key_get_value_type(k)) &&
                          g_settings_schema_key_range_check(k, value);
        g_settings_schema_key_unref(k);
        if (fits) {
            g_settings_set_value(settings.get(), key, value);
            written.emplace_back(key, g_variant_ref(value));
        }
    }
    g_settings_apply(settings.get());
    g_settings_sync();

    bool kept = true;
    for (auto &[name, expected] : written) {
        GVariant *now = g_settings_get_value(settings.get(), name.c_str());
        kept = kept && g_variant_equal(now, expected);
        g_variant_unref(now);
        g_variant_unref(expected);
    }
    g_variant_unref(values);
    if (!kept)
        return Failure{std::string("Le bureau n'a pas repris le réglage « ") + id +
                       " » d'avant le changement temporaire."};
    return Result<>::success();
}

} // namespace velumbra
