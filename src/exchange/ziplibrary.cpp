// Loading libzip through QLibrary, once.
#include "ziplibrary.h"

#include <QLibrary>
#include <optional>
#include <stdexcept>

const ZipLibrary &zipLibrary()
{
    static const std::optional<ZipLibrary> library = []() -> std::optional<ZipLibrary> {
        // Never unloaded: the functions are kept for the run.
        QLibrary file(QStringLiteral("zip"), 4);
        if (!file.load())
            return std::nullopt;
        bool whole = true;
        const auto get = [&](auto &function, const char *name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(file.resolve(name));
            whole = whole && function;
        };
        ZipLibrary zip{};
        get(zip.close, "zip_close");
        get(zip.discard, "zip_discard");
        get(zip.error_fini, "zip_error_fini");
        get(zip.error_init, "zip_error_init");
        get(zip.error_strerror, "zip_error_strerror");
        get(zip.fclose, "zip_fclose");
        get(zip.file_add, "zip_file_add");
        get(zip.file_get_error, "zip_file_get_error");
        get(zip.file_set_mtime, "zip_file_set_mtime");
        get(zip.fopen_index, "zip_fopen_index");
        get(zip.fread, "zip_fread");
        get(zip.get_error, "zip_get_error");
        get(zip.name_locate, "zip_name_locate");
        get(zip.open_from_source, "zip_open_from_source");
        get(zip.set_file_compression, "zip_set_file_compression");
        get(zip.source_buffer, "zip_source_buffer");
        get(zip.source_buffer_create, "zip_source_buffer_create");
        get(zip.source_close, "zip_source_close");
        get(zip.source_error, "zip_source_error");
        get(zip.source_free, "zip_source_free");
        get(zip.source_keep, "zip_source_keep");
        get(zip.source_open, "zip_source_open");
        get(zip.source_read, "zip_source_read");
        get(zip.strerror, "zip_strerror");
        return whole ? std::optional<ZipLibrary>(zip) : std::nullopt;
    }();
    if (!library)
        throw std::runtime_error("Krita palettes need libzip 4 (Debian's libzip4), which could "
                                 "not be loaded");
    return *library;
}
