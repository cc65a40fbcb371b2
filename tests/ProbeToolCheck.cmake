# Runs the command-line probe on the bundled samples, by arguments and by
# standard input, and compares its lines with what the files hold. The
# phone photos report the size as shown: their Exif orientation turns them,
# as the JPEG XL's orientation and the AVIF's irot turn theirs.
#   cmake -DPROBE=... [-DEMULATOR=...] -DSAMPLES=... -DLIST=... -P ProbeToolCheck.cmake
set(expected
  "2\t320\t240\t24\t4176\tsunset.jpg"
  "2\t240\t320\t24\t3929\tphoto #1.jpg"
  "5\t160\t120\t8\t12009\tscan.pcx"
  "6\t120\t160\t8\t5340\ttiff-intel.tif"
  "6\t160\t120\t8\t5248\ttiff-motorola.tif"
  "0\t0\t0\t0\t0\tmissing.png"
  "2\t600\t150\t24\t5372\twide panorama.jpg"
  "2\t240\t320\t24\t39118\tportrait-6.jpg"
  "2\t240\t320\t24\t38966\tportrait-8.jpg"
  "2\t360\t240\t24\t216215\tlandscape-profile.jpg"
  "7\t240\t180\t24\t2300\tmeadow.webp"
  "8\t160\t240\t24\t2397\tturned.avif"
  "10\t180\t240\t24\t3496\torientation-6.jxl"
  "11\t48\t48\t8\t7406\ticon.ico"
  "12\t300\t75\t32\t441\tlogo.svg"
  "9\t200\t150\t24\t1890\tphone.heic")
string(REPLACE ";" "\n" expected "${expected}")
string(REPLACE "\\t" "\t" expected "${expected}")

execute_process(COMMAND ${EMULATOR} ${PROBE} sunset.jpg "photo #1.jpg" scan.pcx tiff-intel.tif tiff-motorola.tif
                        missing.png "wide panorama.jpg" portrait-6.jpg portrait-8.jpg landscape-profile.jpg
                        meadow.webp turned.avif orientation-6.jxl icon.ico logo.svg phone.heic
                WORKING_DIRECTORY ${SAMPLES} OUTPUT_VARIABLE byArguments RESULT_VARIABLE rc1)
execute_process(COMMAND ${EMULATOR} ${PROBE} --stdin INPUT_FILE ${LIST}
                WORKING_DIRECTORY ${SAMPLES} OUTPUT_VARIABLE byStdin RESULT_VARIABLE rc2)
foreach(run byArguments byStdin)
  string(REPLACE "\r" "" got "${${run}}")
  string(STRIP "${got}" got)
  if(NOT got STREQUAL expected)
    message(FATAL_ERROR "galvora-probe (${run}) printed:\n${got}\nexpected:\n${expected}")
  endif()
endforeach()
if(NOT rc1 EQUAL 0 OR NOT rc2 EQUAL 0)
  message(FATAL_ERROR "galvora-probe exited with ${rc1} and ${rc2}; expected 0 also for unrecognised files")
endif()
message(STATUS "galvora-probe: both runs as expected")
