# Writes the site's service worker from web/sw.js: the game page's files, and a cache name
# made of their bytes (and the worker's own), so that any change to them is a new name.
#   cmake -DSITE=DIR "-DFILES=index.html page.css ..." -DTEMPLATE=web/sw.js -P stamp-sw.cmake
string(REPLACE " " ";" file_list "${FILES}")
file(SHA256 ${TEMPLATE} sums)
foreach(f IN LISTS file_list)
    if(NOT EXISTS ${SITE}/${f})
        message(FATAL_ERROR "stamp-sw: ${SITE}/${f} is missing")
    endif()
    file(SHA256 ${SITE}/${f} sum)
    string(APPEND sums "\n${f} ${sum}")
endforeach()
string(SHA256 GF_BUILD "${sums}")
string(SUBSTRING ${GF_BUILD} 0 16 GF_BUILD)
set(GF_FILES "${FILES}")
file(READ ${TEMPLATE} worker)
string(CONFIGURE "${worker}" worker @ONLY)
file(WRITE ${SITE}/sw.js "${worker}")
