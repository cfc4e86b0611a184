/* A shared library that is not a gauge module: it exports no Linkage. */
int not_a_gauge_module = 1;
