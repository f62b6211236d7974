# The compiled-in resource collection "installer" (Q_INIT_RESOURCE(installer)).
#
# Three inputs make up the one collection: the hand-written files listed in
# installer.qrc, the translation catalogue compiled by lrelease, and the skin's
# bitmaps and icon, which the skin-artwork program paints at build time and
# lists in artwork.qrc beside them.

set(RESOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/installer/resources)
set(ARTWORK_DIR ${CMAKE_CURRENT_BINARY_DIR}/artwork)

add_executable(skin-artwork
    ${RESOURCE_DIR}/artwork/main.cpp
    ${RESOURCE_DIR}/artwork/painting.cpp ${RESOURCE_DIR}/artwork/painting.h
    ${RESOURCE_DIR}/artwork/backgrounds.cpp ${RESOURCE_DIR}/artwork/backgrounds.h
    ${RESOURCE_DIR}/artwork/controls.cpp ${RESOURCE_DIR}/artwork/controls.h
    ${RESOURCE_DIR}/artwork/appicon.cpp ${RESOURCE_DIR}/artwork/appicon.h
)
target_link_libraries(skin-artwork PRIVATE Qt5::Gui)

# The painter needs no display, and fontconfig may write a cache: both are kept
# inside the build tree. In a sanitizer build, the offscreen platform plugin's
# screen object is never freed; leak detection would fail the build on it.
set(ARTWORK_HOME ${CMAKE_CURRENT_BINARY_DIR}/artwork-home)
file(MAKE_DIRECTORY ${ARTWORK_HOME}/runtime)
file(CHMOD ${ARTWORK_HOME}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
add_custom_command(
    OUTPUT ${ARTWORK_DIR}/artwork.qrc
    COMMAND ${CMAKE_COMMAND} -E env
            QT_QPA_PLATFORM=offscreen HOME=${ARTWORK_HOME} TMPDIR=${ARTWORK_HOME}
            XDG_RUNTIME_DIR=${ARTWORK_HOME}/runtime
            XDG_CACHE_HOME=${ARTWORK_HOME}/cache XDG_CONFIG_HOME=${ARTWORK_HOME}/config
            XDG_DATA_HOME=${ARTWORK_HOME}/data ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:skin-artwork> ${ARTWORK_DIR}
    DEPENDS skin-artwork
    COMMENT "Painting the installer's skin"
    VERBATIM
)

qt5_add_translation(TRANSLATION_QM ${RESOURCE_DIR}/zh_CN.ts)
set(TRANSLATIONS_QRC ${CMAKE_CURRENT_BINARY_DIR}/translations.qrc)
file(CONFIGURE OUTPUT ${TRANSLATIONS_QRC} CONTENT [[
<!DOCTYPE RCC>
<RCC version="1.0">
<qresource prefix="/">
    <file alias="zh_CN.qm">@TRANSLATION_QM@</file>
</qresource>
</RCC>
]] @ONLY)

set(RESOURCE_QRC ${RESOURCE_DIR}/installer.qrc ${TRANSLATIONS_QRC} ${ARTWORK_DIR}/artwork.qrc)
set(RESOURCE_CPP ${CMAKE_CURRENT_BINARY_DIR}/qrc_installer.cpp)
add_custom_command(
    OUTPUT ${RESOURCE_CPP}
    COMMAND Qt5::rcc --name installer --output ${RESOURCE_CPP} ${RESOURCE_QRC}
    DEPENDS ${RESOURCE_QRC} ${TRANSLATION_QM}
            ${RESOURCE_DIR}/def.css ${RESOURCE_DIR}/agreements.txt
    COMMENT "Compiling the installer's resources"
    VERBATIM
)

set(RESOURCE_SOURCES
    ${RESOURCE_CPP}
    installer/appfont.cpp installer/appfont.h
)
