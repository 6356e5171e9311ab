# Addresses of the outside sites. The defaults point at the demo origin on loopback.
# Each is the compiled default of one key of the settings file (packaging/planviewer.conf.in).
set(PLANVIEWER_PLAN_SERVER "127.0.0.1" CACHE STRING "Host of the plan server")
set(PLANVIEWER_PLAN_SERVER_PORT "2200" CACHE STRING "Port of the plan server")
set(PLANVIEWER_PLAN_PAGE_SITE "http://127.0.0.1:2201" CACHE STRING "Plan page site")
set(PLANVIEWER_DRAW_SITE "http://127.0.0.1:2202" CACHE STRING "Draw-results site")
set(PLANVIEWER_PUBLISHER_SITE "http://127.0.0.1:2203" CACHE STRING "Publisher's site")
set(PLANVIEWER_COUNTER_SITE "http://127.0.0.1:2204" CACHE STRING "Visit counter service")
set(PLANVIEWER_COUNTER_ID "1032" CACHE STRING "Account number at the counter service")
set(PLANVIEWER_COUNTER_IMAGE_PREFIX "http://127.0.0.1:2204" CACHE STRING
    "Address prefix of the counter's digit images")
set(PLANVIEWER_BLOG_SITE "http://127.0.0.1:2205" CACHE STRING "Blog site")

set(PLANVIEWER_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/settings_defaults.h.in
    ${PLANVIEWER_GENERATED_DIR}/settings_defaults.h @ONLY)

# The commented example of the settings file lists every key with the default above.
set(PLANVIEWER_SETTINGS_EXAMPLE ${PLANVIEWER_GENERATED_DIR}/planviewer.conf.example)
configure_file(${PROJECT_SOURCE_DIR}/packaging/planviewer.conf.in ${PLANVIEWER_SETTINGS_EXAMPLE}
    @ONLY)
