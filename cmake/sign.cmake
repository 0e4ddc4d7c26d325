# Build step of the installer (cmake -P) when a plug-in maker gives a certificate:
# signs the program with Authenticode (SHA-256) by osslsigncode, so that Windows'
# elevation prompt names the maker and download filters know the publisher. The
# password is read from a file by osslsigncode itself; it never appears on a
# command line.
#   -DPROGRAM=<exe> -DPKCS12=<.pfx/.p12> -DPASSWORD_FILE=<file> [-DTIMESTAMP=<url>]
#   [-DDESCRIPTION=<program name shown>] [-DURL=<maker's page>]
find_program(VELTRANE_OSSLSIGNCODE osslsigncode REQUIRED)
foreach(given PKCS12 PASSWORD_FILE)
  if(NOT EXISTS "${${given}}")
    message(FATAL_ERROR "cannot sign ${PROGRAM}: there is no file ${${given}} (VELTRANE_SIGN_${given})")
  endif()
endforeach()
set(options -pkcs12 "${PKCS12}" -readpass "${PASSWORD_FILE}" -h sha256)
if(DESCRIPTION)
  list(APPEND options -n "${DESCRIPTION}")
endif()
if(URL)
  list(APPEND options -i "${URL}")
endif()
if(TIMESTAMP)
  list(APPEND options -ts "${TIMESTAMP}")  # an RFC 3161 time-stamping server
endif()
set(signed "${PROGRAM}.signed")
file(REMOVE "${signed}")
execute_process(COMMAND "${VELTRANE_OSSLSIGNCODE}" sign ${options} -in "${PROGRAM}" -out "${signed}"
                RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT result EQUAL 0 OR NOT EXISTS "${signed}")
  file(REMOVE "${signed}" "${PROGRAM}")  # never leave an unsigned installer where a signed one belongs
  message(FATAL_ERROR "signing ${PROGRAM} failed:\n${said}")
endif()
file(RENAME "${signed}" "${PROGRAM}")
get_filename_component(name "${PROGRAM}" NAME)
message("${name} signed with ${PKCS12}")
