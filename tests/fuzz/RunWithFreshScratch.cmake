# Runs a fuzz target over its seed corpus for a bounded time with an empty
# scratch folder, so that the run does not first replay everything earlier
# runs found (a slow target would then overrun its time). Inputs that crash
# are kept in ARTIFACTS. Called as a test: cmake -DTARGET=... -DSCRATCH=...
# -DCORPUS=... -DARTIFACTS=... -DSECONDS=... -P RunWithFreshScratch.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH} ${ARTIFACTS})
execute_process(COMMAND ${TARGET} ${SCRATCH} ${CORPUS} -max_total_time=${SECONDS}
                        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=${ARTIFACTS}/
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TARGET} ended with ${result}")
endif()
