// libzip, loaded the first time a Krita palette is read or written rather than at start: it
// brings OpenSSL's libcrypto along, megabytes every start would otherwise map for nothing.
#pragma once

#include <zip.h>

// The functions of libzip the Krita palettes use, by the names libzip gives them without "zip_".
struct ZipLibrary
{
    decltype(&::zip_close) close;
    decltype(&::zip_discard) discard;
    decltype(&::zip_error_fini) error_fini;
    decltype(&::zip_error_init) error_init;
    decltype(&::zip_error_strerror) error_strerror;
    decltype(&::zip_fclose) fclose;
    decltype(&::zip_file_add) file_add;
    decltype(&::zip_file_get_error) file_get_error;
    decltype(&::zip_file_set_mtime) file_set_mtime;
    decltype(&::zip_fopen_index) fopen_index;
    decltype(&::zip_fread) fread;
    decltype(&::zip_get_error) get_error;
    decltype(&::zip_name_locate) name_locate;
    decltype(&::zip_open_from_source) open_from_source;
    decltype(&::zip_set_file_compression) set_file_compression;
    decltype(&::zip_source_buffer) source_buffer;
    decltype(&::zip_source_buffer_create) source_buffer_create;
    decltype(&::zip_source_close) source_close;
    decltype(&::zip_source_error) source_error;
    decltype(&::zip_source_free) source_free;
    decltype(&::zip_source_keep) source_keep;
    decltype(&::zip_source_open) source_open;
    decltype(&::zip_source_read) source_read;
    decltype(&::zip_strerror) strerror;
};

// The library, loaded on the first call; throws std::runtime_error, saying so, when it cannot
// be loaded whole.
const ZipLibrary &zipLibrary();
