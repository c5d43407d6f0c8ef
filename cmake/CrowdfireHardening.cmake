# The hardening Debian gives its own packages (dpkg-buildflags with hardening=+all on
# bookworm): fortified C library calls, the strong stack protector, format-string
# checks, a position-independent executable and a read-only, eagerly bound relocation
# table. Fortification needs the optimiser, so debug builds (the sanitizer suite) go
# without it.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(
  $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>
  $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>
  -fstack-protector-strong -Wformat -Werror=format-security)
add_link_options(-Wl,-z,relro -Wl,-z,now)
