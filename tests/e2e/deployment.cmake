# Deployment: /S /ALL into every found host, /U without records, stray arguments.
veltrane_add_e2e(e2e_deployment deployment.sh)
